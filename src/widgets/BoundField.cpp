#include "BoundField.h"

#include "DataCombo.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include <cmath>

namespace vantor::widgets {

BoundField::BoundField(QLineEdit* editor, QObject* parent) : QObject(parent), m_line(editor)
{
    connect(editor, &QLineEdit::textChanged, this, [this] {
        if (!m_showing)
            m_dirty = true;
    });
}

BoundField::BoundField(QPlainTextEdit* editor, QObject* parent) : QObject(parent), m_plain(editor)
{
    connect(editor, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_dirty = true;
    });
}

void BoundField::bind(engine::Recordset* record, const QString& field)
{
    if (m_record)
        disconnect(m_record, nullptr, this, nullptr);
    m_record = record;
    m_field = field;
    if (record) {
        connect(record, &engine::Recordset::moveComplete, this, &BoundField::showRecord);
        connect(record, &engine::Recordset::rowsReset, this, &BoundField::showRecord);
        // A value written by someone else (a combo, the database's new id) shows at once.
        connect(record, &engine::Recordset::rowChanged, this, [this](int row) {
            if (!m_dirty && m_record && row == m_record->currentRow())
                showRecord();
        });
    }
    showRecord();
}

void BoundField::setDisplayFormat(const QString& pattern)
{
    m_format = pattern;
    showRecord();
}

QString BoundField::text() const
{
    return m_line ? m_line->text() : m_plain->toPlainText();
}

void BoundField::setEditorText(const QString& text)
{
    if (m_line)
        m_line->setText(text);
    else
        m_plain->setPlainText(text);
}

void BoundField::setText(const QString& text)
{
    setEditorText(text);
    m_dirty = true;
}

void BoundField::showRecord()
{
    QString shown;
    if (m_record && m_record->isOpen() && !m_record->bof() && !m_record->eof()) {
        try {
            const QVariant v = m_record->value(m_field);
            shown = m_format.isEmpty() ? platform::valueText(v) : platform::format(v, m_format);
        } catch (const Error&) {
            shown.clear(); // a deleted record shows nothing
        }
    }
    const QScopedValueRollback guard(m_showing, true);
    setEditorText(shown);
    m_dirty = false;
}

std::optional<QVariant> BoundField::typedValue() const
{
    const QString t = text().trimmed();
    if (t.isEmpty())
        return QVariant();
    if (!m_record)
        return QVariant(text());
    const int k = m_record->fieldIndex(m_field);
    const engine::FieldType type = k >= 0 ? m_record->field(k).type : engine::FieldType::Text;
    switch (type) {
    case engine::FieldType::Date: {
        const bool monthFirst = m_format.isEmpty() || m_format.front().toLower() == u'm';
        auto date = monthFirst ? platform::parseMonthDayYear(t) : std::nullopt;
        if (!date && !monthFirst)
            date = platform::parseDate(t);
        if (!date)
            return std::nullopt;
        return QVariant(*date);
    }
    case engine::FieldType::Integer: {
        const auto n = platform::parseNumber(t);
        if (!n || *n != std::floor(*n) || std::abs(*n) > 2147483647.0)
            return std::nullopt;
        return QVariant(qlonglong(*n));
    }
    case engine::FieldType::Double: {
        const auto n = platform::parseNumber(t);
        if (!n)
            return std::nullopt;
        return QVariant(*n);
    }
    default:
        return QVariant(text());
    }
}

void BoundField::writeToRecord()
{
    if (!m_dirty || !m_record)
        return;
    const auto value = typedValue();
    if (!value)
        throw Error::typeMismatch();
    m_record->setValue(m_field, *value);
    m_dirty = false;
}

} // namespace vantor::widgets
