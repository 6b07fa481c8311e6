#pragma once

#include <QMap>
#include <QString>

namespace vantor::engine {

// The parts of a connection string the engine reads. Keys are matched
// without regard to case; values may be quoted with '...' or "...".
struct ConnectionString
{
    QString provider;           // "Provider" (e.g. Microsoft.Jet.OLEDB.4.0, MSDataShape)
    QString dataProvider;       // "Data Provider" under MSDataShape
    QString dataSource;         // "Data Source", as written
    QMap<QString, QString> all; // every key (lower case) and its value

    bool isShape() const;

    static ConnectionString parse(const QString& text);
};

} // namespace vantor::engine
