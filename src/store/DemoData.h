#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace vantor::engine {
class SqliteDatabase;
}

namespace vantor::store {

// The contents of the demo database: the periods of the day, the test items
// with their usual range, the unit conversion table, and occasions with
// values drawn from a seeded generator (the same seed gives the same file).
namespace demo {

struct TestItem
{
    QString name;
    QString description;
    QString units;
    double mean;               // a typical value for a healthy adult
    double spread;             // how far a value strays from it, one standard deviation
    int decimals;              // as the laboratory reports it
    int panel;                 // items ordered together share a panel
    std::optional<double> low; // reference range for adults, in units
    std::optional<double> high;
};

struct Agent
{
    QString name;
    QString conventionalUnit;
    std::optional<double> factor; // conventional to SI; none for items without a conversion
    QString siUnit;
};

// In id order, which is the order within a day (not the order of the names).
QStringList periods();
QVector<TestItem> testItems();
QVector<Agent> agents();

// Writes the periods and the test items.
void writeCatalogues(engine::SqliteDatabase& db);

// Writes the standard conversion items of agents(): every new database gets
// them, the empty one too, so that the unit converter works from the start.
void writeAgents(engine::SqliteDatabase& db);

// Occasions from first to last (the last one falls on last) every few days,
// most with values; some with remarks, a few days with two occasions.
void writeOccasions(engine::SqliteDatabase& db, const QDate& first, const QDate& last,
                    unsigned seed);

// Exactly valueCount values, six per occasion, on occasions that end on last.
void writeLargeSet(engine::SqliteDatabase& db, qint64 valueCount, const QDate& last, unsigned seed);

} // namespace demo
} // namespace vantor::store
