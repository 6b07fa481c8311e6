#include "QueryCommand.h"

#include "QueryOutput.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"

#include <QTextStream>

namespace vantor::tools {

namespace {

QVariantList rowValues(const engine::Recordset& rows, int row)
{
    QVariantList values;
    values.reserve(rows.fieldCount());
    for (int column = 0; column < rows.fieldCount(); ++column)
        values << rows.valueAt(row, column);
    return values;
}

void writeRows(const engine::Recordset& rows, QueryFormat format, QTextStream& out)
{
    const QStringList names = rows.fieldNames();
    if (format == QueryFormat::Text) {
        out << tabLine(names) << '\n';
        for (int row = 0; row < rows.rowCount(); ++row)
            out << tabLine(rowValues(rows, row)) << '\n';
        return;
    }
    out << '[';
    for (int row = 0; row < rows.rowCount(); ++row)
        out << (row ? ",\n" : "\n") << jsonRow(names, rowValues(rows, row));
    out << (rows.rowCount() ? "\n]\n" : "]\n");
}

} // namespace

QString jetConnectionString(const QString& file)
{
    // A name with a separator in it is quoted, as connection strings allow.
    QString source = file;
    if (file.contains(QLatin1Char(';')))
        source = file.contains(QLatin1Char('"')) ? QLatin1Char('\'') + file + QLatin1Char('\'')
                                                 : QLatin1Char('"') + file + QLatin1Char('"');
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + source;
}

void runQuery(const QString& file, const QString& sql, QueryFormat format, QTextStream& out)
{
    engine::Connection connection;
    connection.open(jetConnectionString(file));
    if (connection.translate(sql).kind != engine::TranslatedSql::Kind::Select) {
        out << connection.execute(sql) << " row(s) changed\n";
        return;
    }
    engine::Recordset rows;
    rows.open(sql, &connection, engine::CursorType::Static, engine::LockType::ReadOnly);
    writeRows(rows, format, out);
}

} // namespace vantor::tools
