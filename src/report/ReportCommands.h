#pragma once

#include <QDate>
#include <QString>

namespace vantor::report {

// The SQL and shape texts the report runs send. Dates go into SQL text in
// the unambiguous form (platform::sqlDateLiteral), whatever the locale.

// The occasions of a span, by date and period.
QString resultsQuery(const QDate& from, const QDate& to);
// The daily results command over the occasions of a query: a group per date,
// its occasions, their periods and their values.
QString dailyResultsShape(const QString& resultsQuery);

// One test item, by its identifier.
QString testItemQuery(qint32 item);
// The values of every item in a span, with their occasion's date and period
// name, by date and period.
QString itemValuesQuery(const QDate& from, const QDate& to);
// The single item command: the item of testQuery with its rows of itemQuery.
QString singleItemShape(const QString& testQuery, const QString& itemQuery);

} // namespace vantor::report
