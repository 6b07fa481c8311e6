#include "RecordsetSupport.h"

#include "Connection.h"

#include "platform/Conversions.h"

#include <QLocale>
#include <QRegularExpression>

#include <sqlite3.h>

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

FieldType typeFromDecl(const char* decl)
{
    if (!decl)
        return FieldType::Null;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("DATE") || d.contains("TIME"))
        return FieldType::Date;
    if (d.contains("INT"))
        return FieldType::Integer;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") ||
        d.contains("DEC"))
        return FieldType::Double;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return FieldType::Text;
    return FieldType::Null;
}

Statement::Statement(Connection& connection, const QString& sql) : m_connection(connection)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(connection.handle(), utf8.constData(), int(utf8.size()), &m_stmt,
                           nullptr) != SQLITE_OK)
        connection.raise();
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant& v)
{
    int rc;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, index, v.toBool() ? -1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::QDate:
            rc = bindText(index, v.toDate().toString(Qt::ISODate));
            break;
        case QMetaType::QDateTime:
            rc = bindText(index, v.toDateTime().date().toString(Qt::ISODate));
            break;
        default:
            rc = bindText(index, v.toString());
            break;
        }
    }
    if (rc != SQLITE_OK)
        m_connection.raise();
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_connection.raise();
    return false;
}

int Statement::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

WriteScope::WriteScope(Connection& connection) : m_connection(connection)
{
    if (sqlite3_exec(connection.handle(), "SAVEPOINT vantor_write", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        connection.raise();
}

WriteScope::~WriteScope()
{
    if (!m_done)
        sqlite3_exec(m_connection.handle(), "ROLLBACK TO vantor_write; RELEASE vantor_write",
                     nullptr, nullptr, nullptr);
}

void WriteScope::commit()
{
    if (sqlite3_exec(m_connection.handle(), "RELEASE vantor_write", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        m_connection.raise();
    m_done = true;
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
