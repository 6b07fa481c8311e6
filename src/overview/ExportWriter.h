#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace vantor::engine {
class Connection;
}

namespace vantor::overview {

// The query of the export: every test value of an occasion (with a period)
// dated from..to, with its date, period, test name, unit and the occasion's
// remarks, in date, period id and test name order.
QString exportSql(const QDate& from, const QDate& to);

// Writes the rows of exportSql to fileName as tab-delimited text that a
// spreadsheet opens: a heading line "Date Period Test Result Unit Remarks",
// then one line per row; fields separated by one TAB, lines ended by CR LF,
// no quoting; dates in the short date form and results in their default
// number text, both as the locale writes them; text in the system's encoding.
//
// A TAB, a carriage return or a line feed inside a text field (a line break,
// CR LF, counts as one) is written as one space, so that every row stays one
// line of six fields.
//
// The file is written beside the target under a temporary name and renamed
// into place only when complete: a failure never leaves a half-written file
// and never destroys an existing one. The connection's database (or its
// journal) is refused as the target. A new file gets the database's
// permissions. A span without rows fails before any file is touched.
//
// `mayReplace`, when given, is asked (after the rows are there and the
// target is known not to be the database) whether an existing file may be
// replaced; a No writes nothing and returns -1.
//
// `progress`, when given, is told now and then how far the rows have come
// (0 to 1, by date within the span); when it returns false the export stops,
// the temporary file is removed and -1 is returned: nothing was written.
//
// Returns the number of rows written; throws vantor::Error.
qint64 writeExport(engine::Connection& connection, const QString& fileName, const QDate& from,
                   const QDate& to,
                   const std::function<bool(const QString& fileName)>& mayReplace = {},
                   const std::function<bool(double done)>& progress = {});

} // namespace vantor::overview
