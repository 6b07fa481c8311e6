#include "ReportCommands.h"

#include "platform/Format.h"

namespace vantor::report {

QString resultsQuery(const QDate& from, const QDate& to)
{
    return QStringLiteral("SELECT Results.* FROM Results ") +
           QStringLiteral("WHERE (((Results.Date) Between ") + platform::sqlDateLiteral(from) +
           QStringLiteral(" And ") + platform::sqlDateLiteral(to) + QStringLiteral(")) ") +
           QStringLiteral("ORDER BY Results.Date, Results.Period;");
}

QString dailyResultsShape(const QString& resultsQuery)
{
    return QStringLiteral("SHAPE ( SHAPE {") + resultsQuery +
           QStringLiteral("}  AS Results APPEND (( SHAPE {SELECT * FROM `qryResults`}  AS Periods "
                          "APPEND ({SELECT * FROM `qryDetails`}  AS Details RELATE 'ID' TO 'ID') "
                          "AS Details) AS Periods RELATE 'ID' TO 'ID') AS Periods) COMPUTE "
                          "Results BY 'Date'");
}

QString testItemQuery(qint32 item)
{
    return QStringLiteral("SELECT * FROM Tests ") + QStringLiteral("WHERE (Tests.ID)=") +
           QString::number(item);
}

QString itemValuesQuery(const QDate& from, const QDate& to)
{
    return QStringLiteral("SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = "
                          "[Results Sorted].ID ") +
           QStringLiteral("WHERE (([Results Sorted].Date) Between ") +
           platform::sqlDateLiteral(from) + QStringLiteral(" And ") + platform::sqlDateLiteral(to) +
           QStringLiteral(") ") +
           // A join leaves the order of its rows open; list them as occasions
           // are listed everywhere, by date and then by the period's id.
           QStringLiteral("ORDER BY [Results Sorted].Date, (SELECT Results.Period FROM Results "
                          "WHERE Results.ID = Details.ID);");
}

QString singleItemShape(const QString& testQuery, const QString& itemQuery)
{
    return QStringLiteral("SHAPE ( SHAPE {") + testQuery +
           QStringLiteral("}  AS Test_Items APPEND ({") + itemQuery +
           QStringLiteral("}  AS Items RELATE 'ID' TO 'Test') AS Items) COMPUTE Test_Items BY "
                          "'Test'");
}

} // namespace vantor::report
