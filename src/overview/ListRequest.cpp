#include "ListRequest.h"

#include "platform/Format.h"
#include "report/ReportCommands.h"

namespace vantor::overview {

const QStringList& ListRequest::conditions()
{
    static const QStringList names{QStringLiteral("equal to"), QStringLiteral("greater than"),
                                   QStringLiteral("less than")};
    return names;
}

int ListRequest::conditionIndex(const QString& text)
{
    const QString wanted = text.simplified();
    for (int i = 0; i < conditions().size(); ++i) {
        if (conditions().at(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString ListRequest::resultTest() const
{
    static const char* const operators[] = {"= ", "> ", "< "};
    // 17 significant digits read back as the very same double, so "equal to"
    // finds the stored value exactly.
    return QStringLiteral("(Details.Result) ") + QLatin1String(operators[condition]) +
           QString::number(number, 'g', 17);
}

QString ListRequest::listSql() const
{
    return QStringLiteral("SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, "
                          "Periods.Period, Tests.Test, Details.Result, Tests.Units, Periods.ID, "
                          // the value's own unit, for its flag: the item's may have changed
                          "Details.Unit ") +
           QStringLiteral("FROM Periods INNER JOIN (Tests INNER JOIN (Results INNER JOIN Details "
                          "ON Results.ID = Details.ID) ON Tests.ID = Details.Test) ON Periods.ID "
                          "= Results.Period ") +
           QStringLiteral("WHERE (((Results.Date) Between ") + platform::sqlDateLiteral(from) +
           QStringLiteral(" And ") + platform::sqlDateLiteral(to) + QStringLiteral(") AND (") +
           resultTest() + QStringLiteral(") AND ((Tests.ID) = ") + QString::number(item) +
           QStringLiteral(")) ") +
           QStringLiteral("ORDER BY Results.Date, Tests.Test, Results.Period, Periods.ID;");
}

QString ListRequest::title() const
{
    return itemName + QStringLiteral(" results ") + conditions().at(condition) + u' ' + resultText +
           u'\r' + QStringLiteral("(from ") + fromText + QStringLiteral(" until ") + toText + u')';
}

QString ListRequest::printShape() const
{
    // The list leaves out occasions whose period is gone; so must the report.
    const QString items =
        QStringLiteral("SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = "
                       "[Results Sorted].ID ") +
        QStringLiteral("WHERE ((([Results Sorted].Date) Between ") +
        platform::sqlDateLiteral(from) + QStringLiteral(" And ") + platform::sqlDateLiteral(to) +
        QStringLiteral(") AND (") + resultTest() +
        QStringLiteral(") AND ((Details.ID) In (SELECT Results.ID FROM Results INNER JOIN "
                       "Periods ON Results.Period = Periods.ID))) ") +
        QStringLiteral("ORDER BY [Results Sorted].Date, (SELECT Results.Period FROM Results "
                       "WHERE Results.ID = Details.ID);");
    return report::singleItemShape(report::testItemQuery(item), items);
}

} // namespace vantor::overview
