#pragma once

#include <QString>

namespace vantor::entry {

// The jump list of the record windows (frmEdit, frmBrowse): every occasion as
// "Mar-05-2004  Morning", in date and period order, standing for its ID.
inline const QString JumpListSource = QStringLiteral(
    "SELECT Results.ID, Format([Date],\"mmm-dd-yyyy\") & \"  \" & [Periods].[Period] AS "
    "DatePeriod\r\n"
    "FROM Results INNER JOIN Periods ON Results.Period = Periods.ID\r\n"
    "GROUP BY Results.ID, Format([Date],\"mmm-dd-yyyy\") & \"  \" & [Periods].[Period], "
    "Results.Date, Results.Period\r\n"
    "ORDER BY Results.Date, Results.Period;\r\n");

inline const QString JumpListField = QStringLiteral("DatePeriod");
inline const QString JumpBoundColumn = QStringLiteral("ID");

} // namespace vantor::entry
