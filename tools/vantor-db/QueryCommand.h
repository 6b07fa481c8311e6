#pragma once

#include <QString>

class QTextStream;

namespace vantor::tools {

enum class QueryFormat { Text, Json };

// The connection string the program's code connections use, for any file.
QString jetConnectionString(const QString& file);

// Runs one SQL text of the program's dialect against file, through the same
// engine the program uses. A SELECT writes its rows to out; any other
// statement writes "N row(s) changed". Throws vantor::Error.
void runQuery(const QString& file, const QString& sql, QueryFormat format, QTextStream& out);

} // namespace vantor::tools
