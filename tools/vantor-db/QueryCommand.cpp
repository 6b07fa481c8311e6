#include "QueryCommand.h"

#include "QueryOutput.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/ShapeCommand.h"

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

// A shaped recordset: every row, its chapters as nested arrays (JSON) or as
// indented blocks under the row (text).
void writeShaped(engine::Recordset& rows, QueryFormat format, QTextStream& out, int depth)
{
    const QStringList names = rows.fieldNames();
    const QString indent(depth * 2, QLatin1Char(' '));
    if (format == QueryFormat::Text)
        out << indent << tabLine(names) << '\n';
    else
        out << '[';
    int n = 0;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++n) {
        QVariantList plain;
        QStringList members;
        for (int column = 0; column < rows.fieldCount(); ++column) {
            if (rows.isChapter(column)) {
                plain << QStringLiteral("(%1)").arg(names[column]);
                continue;
            }
            plain << rows.value(column);
            members << jsonString(names[column]) + QLatin1Char(':') + jsonValue(rows.value(column));
        }
        if (format == QueryFormat::Text) {
            out << indent << tabLine(plain) << '\n';
        } else {
            out << (n ? "," : "") << '\n' << indent << '{' << members.join(QLatin1Char(','));
        }
        for (int column = 0; column < rows.fieldCount(); ++column) {
            if (!rows.isChapter(column))
                continue;
            if (format == QueryFormat::Json)
                out << (members.isEmpty() ? "" : ",") << jsonString(names[column]) << ':';
            writeShaped(*rows.chapter(column), format, out, depth + 1);
            members << QString(); // later chapters need their comma
        }
        if (format == QueryFormat::Json)
            out << '}';
    }
    if (format == QueryFormat::Json)
        out << (n ? QStringLiteral("\n") + indent + QLatin1Char(']') : QStringLiteral("]"));
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
    if (engine::isShapeCommand(sql)) {
        connection.open(
            QStringLiteral("Provider=MSDataShape;Data Provider=Microsoft.Jet.OLEDB.4.0;") +
            jetConnectionString(file).section(QLatin1Char(';'), 1));
        engine::Recordset rows;
        rows.open(sql, &connection, engine::CursorType::Static, engine::LockType::ReadOnly);
        writeShaped(rows, format, out, 0);
        if (format == QueryFormat::Json)
            out << '\n';
        return;
    }
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
