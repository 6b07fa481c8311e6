#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// How vantor-db query writes rows: tab-separated lines, or JSON.
namespace vantor::tools {

// One line of tab-separated fields; null is empty, dates are ISO, and tab,
// line break and backslash inside a text are written as \t, \n and \\ so
// that every row stays one line.
QString tabLine(const QVariantList& values);
inline QString tabLine(const QStringList& names)
{
    return tabLine(QVariantList(names.cbegin(), names.cend()));
}

// One JSON object whose keys stand in column order: numbers as numbers,
// dates as "YYYY-MM-DD", null as null.
QString jsonRow(const QStringList& names, const QVariantList& values);

QString jsonString(const QString& text);
QString jsonValue(const QVariant& value);

} // namespace vantor::tools
