#include "RecordsetSupport.h"

#include "Connection.h"

#include "platform/Conversions.h"

#include <QLocale>
#include <QRegularExpression>

namespace vantor::engine::detail {

namespace {

const QString NoCurrentRecordText = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.");

} // namespace

Error noCurrentRecord()
{
    return Error(Error::NoCurrentRecord, NoCurrentRecordText);
}

Error notOpen()
{
    return Error(Error::DatabaseError,
                 QStringLiteral("Operation is not allowed when the object is closed."));
}

Error noSuchField(const QString& name)
{
    return Error(3265, QStringLiteral("Item cannot be found in the collection corresponding to "
                                      "the requested name or ordinal (%1).")
                           .arg(name));
}

WriteScope::WriteScope(Connection& connection)
    : SqliteTransaction(connection, QStringLiteral("vantor_write"))
{
}

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

bool sameCell(const RowStore& store, const Cell& a, const Cell& b)
{
    if (a.tag != b.tag)
        return false;
    switch (a.tag) {
    case Cell::Null:
        return true;
    case Cell::Int:
    case Cell::Date:
        return a.i == b.i;
    case Cell::Real:
        return a.d == b.d;
    case Cell::Text:
        return a.s == b.s || store.text(a) == store.text(b);
    }
    return false;
}

Criteria parseCriteria(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*(?:\[([^\]]+)\]|`([^`]+)`|([A-Za-z_][\w.]*))\s*(<=|>=|<>|=|<|>|\blike\b)\s*(.*?)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch())
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The search text '%1' cannot be read; it must be a field "
                                   "name, an operator and a value, such as [ID]=42.")
                        .arg(text));
    Criteria c;
    c.column = !m.captured(1).isEmpty()   ? m.captured(1)
               : !m.captured(2).isEmpty() ? m.captured(2)
                                          : m.captured(3);
    const QString op = m.captured(4).toLower();
    static const QStringList ops{QStringLiteral("="),   QStringLiteral("<>"), QStringLiteral("<"),
                                 QStringLiteral(">"),   QStringLiteral("<="), QStringLiteral(">="),
                                 QStringLiteral("like")};
    c.op = int(ops.indexOf(op));
    const QString v = m.captured(5);
    if (v.size() >= 2 &&
        ((v.front() == u'\'' && v.back() == u'\'') || (v.front() == u'"' && v.back() == u'"'))) {
        QString inner = v.mid(1, v.size() - 2);
        inner.replace(QString(2, v.front()), QString(1, v.front()));
        c.value = inner;
    } else if (v.size() >= 2 && v.front() == u'#' && v.back() == u'#') {
        const QString inner = v.mid(1, v.size() - 2);
        auto date = platform::parseMonthDayYear(inner);
        if (!date)
            date = platform::parseDate(inner);
        if (!date)
            throw Error(Error::TypeMismatch,
                        QStringLiteral("The date %1 in the search text cannot be read.").arg(v));
        c.value = *date;
    } else if (v.compare(u"null", Qt::CaseInsensitive) == 0) {
        c.value = QVariant();
    } else {
        bool ok = false;
        const double d = QLocale::c().toDouble(v, &ok);
        if (!ok)
            throw Error(Error::TypeMismatch,
                        QStringLiteral("The value '%1' in the search text is no number; put text "
                                       "between quotes.")
                            .arg(v));
        c.value = d;
    }
    return c;
}

int compareValues(const QVariant& a, const QVariant& b, bool& comparable)
{
    comparable = true;
    if (a.isNull() || b.isNull()) {
        comparable = false;
        return 0;
    }
    const auto isNumber = [](const QVariant& v) {
        return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double ||
               v.typeId() == QMetaType::Int;
    };
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate) {
        const auto toDate = [](const QVariant& v) {
            if (v.typeId() == QMetaType::QDate)
                return v.toDate();
            return platform::parseDate(v.toString()).value_or(QDate());
        };
        const QDate x = toDate(a), y = toDate(b);
        if (!x.isValid() || !y.isValid()) {
            comparable = false;
            return 0;
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

bool likeMatch(const QString& text, const QString& pattern)
{
    QString re;
    for (const QChar c : pattern) {
        if (c == u'*' || c == u'%')
            re += QStringLiteral(".*");
        else if (c == u'?' || c == u'_')
            re += u'.';
        else
            re += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption)
        .match(text)
        .hasMatch();
}

} // namespace vantor::engine::detail
