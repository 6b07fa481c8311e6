#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vantor::calc {

// What Proceed does to one control of the calculator window it prepares.
struct ControlChange
{
    enum Action { Enable, Disable, Show, Hide };
    QString control;
    Action action;
};

// One calculator of the selector: where it sits in the lists, the text Explain
// shows, the title Proceed writes (the key Calculate selects by) and the
// control changes that prepare its window.
struct CalculatorEntry
{
    int category;
    int index;
    QString listItem;
    QString explanation;
    QString title;
    QList<ControlChange> changes;
};

// The selector's data, in list order. Both indexes are list positions.
class Catalog
{
public:
    static QStringList categories();
    // The calculators of a category, in list order; empty for an unknown one.
    static QList<CalculatorEntry> calculators(int category);
    static const QList<CalculatorEntry>& all();
    // nullptr when the pair names no calculator.
    static const CalculatorEntry* entry(int category, int index);
    // The calculator whose title (or, failing that, list item) is `name`.
    static const CalculatorEntry* find(const QString& name);
};

} // namespace vantor::calc
