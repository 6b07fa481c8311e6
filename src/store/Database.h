#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace vantor::store {

// Creates an empty results database at path: every table, index and saved
// query, and the standard conversion items of the Agents table. Refuses
// (throws vantor::Error) when the file already exists; never leaves a
// half-made file behind.
void createDatabase(const QString& path);

struct DemoOptions
{
    int years = 3;
    unsigned seed = 20040305;
    QDate lastDate; // the newest occasion's day; today when null
};

// Creates a database at path (as createDatabase) and fills it with a
// realistic demo: periods, test items, about three years of occasions with
// values and some remarks.
void createDemoDatabase(const QString& path, const DemoOptions& options = {});

// Creates a large database for measurements: about valueCount test values
// spread over occasions, with the demo's periods and test items.
void createLargeDatabase(const QString& path, qint64 valueCount, unsigned seed = 1);

// Integrity and schema check: every table, column, index and saved query the
// program relies on. Returns the problems in words; empty when all is well.
QStringList checkDatabase(const QString& path);

} // namespace vantor::store
