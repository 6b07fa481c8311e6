#include "BrowseBench.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "entry/JumpListSource.h"
#include "platform/Error.h"


namespace vantor::bench {

namespace {

const QString BrowseCommand = QStringLiteral(
    "SHAPE {SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks FROM Results INNER "
    "JOIN Periods ON Results.Period = Periods.ID Order by Date, [Results].Period} AS ParentCMD "
    "APPEND ({SELECT Details.ID, Tests.Test, Details.Result, Details.Unit FROM Tests INNER JOIN "
    "Details ON Tests.ID = Details.Test } AS ChildCMD RELATE ID TO ID) AS ChildCMD");

// What the window reads: the shaped occasions with the first one's values,
// the jump list, then the last occasion's values. Returns the rows read.
qint64 browseThroughEngine(const Setup& setup)
{
    engine::Connection shape;
    shape.open(QStringLiteral("PROVIDER=MSDataShape;Data PROVIDER=Microsoft.Jet.OLEDB.4.0;"
                              "Data Source=") +
               setup.database + u';');
    engine::Recordset occasions;
    occasions.open(BrowseCommand, &shape, engine::CursorType::Static, engine::LockType::Optimistic);
    engine::Recordset* values = occasions.chapter(QStringLiteral("ChildCMD"));
    qint64 rows = occasions.recordCount() + values->recordCount();

    engine::Connection list;
    list.open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + setup.database);
    engine::Recordset jump;
    jump.open(entry::JumpListSource, &list, engine::CursorType::Static,
              engine::LockType::Optimistic);
    rows += jump.recordCount();

    occasions.moveLast();
    rows += values->recordCount();
    if (values->recordCount() > 0 &&
        values->value(QStringLiteral("ID")) != occasions.value(QStringLiteral("ID")))
        throw Error(Error::DatabaseError,
                    QStringLiteral("The values shown are not the last occasion's."));
    return rows;
}

// The same rows in SQLite's own SQL, in one run of the shell; the jump list
// keeps the window's grouping, which is most of its cost.
QString nativeBrowseSql()
{
    const QString occasions =
        QStringLiteral("FROM Results JOIN Periods ON Results.Period = Periods.ID ");
    const QString values =
        QStringLiteral("SELECT Details.ID, Tests.Test, Details.Result, Details.Unit FROM Tests "
                       "JOIN Details ON Tests.ID = Details.Test WHERE Details.ID = (SELECT "
                       "Results.ID ") +
        occasions;
    return QStringLiteral("SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks ") +
           occasions + QStringLiteral("ORDER BY Results.Date, Results.Period; ") + values +
           QStringLiteral("ORDER BY Results.Date, Results.Period LIMIT 1); ") +
           QStringLiteral("SELECT Results.ID, substr('JanFebMarAprMayJunJulAugSepOctNovDec', "
                          "3 * strftime('%m', Results.Date) - 2, 3) || '-' || "
                          "strftime('%d-%Y', Results.Date) || '  ' || Periods.Period ") +
           occasions +
           QStringLiteral("GROUP BY Results.ID, 2, Results.Date, Results.Period ORDER BY "
                          "Results.Date, Results.Period; ") +
           values + QStringLiteral("ORDER BY Results.Date DESC, Results.Period DESC LIMIT 1);");
}

void browseNatively(const Setup& setup)
{
    runShell(setup, nativeBrowseSql());
}

} // namespace

Comparison browseToLast()
{
    return {QStringLiteral("browse to last"), browseThroughEngine, browseNatively};
}

} // namespace vantor::bench
