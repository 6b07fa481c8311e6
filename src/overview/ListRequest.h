#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace vantor::overview {

// One request of the filtered item list: an item's values equal to, greater
// than or less than a number within a span of dates. Only the number goes
// into SQL, written by the program itself; what the user typed appears in
// the title alone.
struct ListRequest
{
    QDate from;
    QDate to;
    QString fromText; // the dates and the item as the lists show them
    QString toText;
    qint32 item = 0;
    QString itemName;
    int condition = 0; // index into conditions()
    double number = 0;
    QString resultText; // the number as the user typed it

    // "equal to", "greater than", "less than", in the order of the list.
    static const QStringList& conditions();
    // The condition's position in conditions() (case and blanks aside), -1 for none.
    static int conditionIndex(const QString& text);

    // The rows of the list: Date, Dates, Period, Test, Result, Units, ID (of the period).
    QString listSql() const;
    // The item, its values and their span, and the two lines of dates below.
    // The lines are parted by a lone carriage return.
    QString title() const;
    // The single item report's command over exactly the listed rows.
    QString printShape() const;
    // The test of a value: "(Details.Result) > 5".
    QString resultTest() const;
};

} // namespace vantor::overview
