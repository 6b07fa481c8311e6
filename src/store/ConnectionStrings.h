#pragma once

#include <QString>

// The connection strings of the program, as its windows use them.
namespace vantor::store {

inline constexpr char DatabaseFileName[] = "vantor.mdb";

// Connections opened in code (entry, details, deletion, dialogs, converter)
// and the data controls of the period and test lists.
inline const QString CodeConnection =
    QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;");

// Data controls that feed lists and combos.
inline const QString ListConnection = QStringLiteral(
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;Persist Security Info=False");

// The hierarchical recordset of the browse window.
inline const QString BrowseShapeConnection = QStringLiteral(
    "PROVIDER=MSDataShape;Data PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;");

// The chart window.
inline const QString ChartShapeConnection = QStringLiteral(
    "PROVIDER=MSDataShape;Data Source=vantor.mdb;Data Provider=Microsoft.Jet.OLEDB.4.0");

// The report commands (data environment).
inline const QString ReportShapeConnection =
    QStringLiteral("PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;"
                   "Data Source=vantor.mdb;Persist Security Info=False;");

// The summary and remarks grids.
inline const QString GridConnection = QStringLiteral(
    "Provider=Microsoft.Jet.OLEDB.4.0;Password='';User ID=Admin;Data Source=vantor.mdb;"
    "Mode=Share Deny None;Extended Properties='';Jet OLEDB:System database='';"
    "Jet OLEDB:Registry Path='';Jet OLEDB:Database Password='';Jet OLEDB:Engine Type=4;"
    "Jet OLEDB:Database Locking Mode=0;Jet OLEDB:Global Partial Bulk Ops=2;"
    "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password='';"
    "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
    "Jet OLEDB:Don't Copy Locale on Compact=False;"
    "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False");

// Compaction: "Data Source=" followed by the file name.
inline QString compactConnection(const QString& fileName)
{
    return QStringLiteral("Data Source=") + fileName;
}

} // namespace vantor::store
