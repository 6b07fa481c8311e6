#pragma once

#include "engine/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace vantor::widgets {

// Binds a text box (QLineEdit or QPlainTextEdit) to one field of a
// recordset: the box shows the field of the current record, in an optional
// display format, and what the user types goes back into the field when the
// window writes the record (writeToRecord), read by the field's type.
class BoundField : public QObject
{
    Q_OBJECT

public:
    BoundField(QLineEdit* editor, QObject* parent = nullptr);
    BoundField(QPlainTextEdit* editor, QObject* parent = nullptr);

    void bind(engine::Recordset* record, const QString& field);
    engine::Recordset* recordset() const { return m_record; }

    // A Format pattern for showing the value ("MMMM dd, yyyy"). A date field
    // whose pattern starts with m (month first) also reads typed text month first.
    void setDisplayFormat(const QString& pattern);

    QString text() const;
    // Sets the box's text as if typed (it will be written with the record).
    void setText(const QString& text);
    bool isDirty() const { return m_dirty; }

    // Shows the current record's value; empty at BOF/EOF. Drops what was typed.
    void showRecord();

    // The typed text as a value of the field's type; nullopt when the text is
    // not one (an empty text is null).
    std::optional<QVariant> typedValue() const;

    // Writes a changed text into the current record. Throws vantor::Error
    // when the text is no value of the field's type.
    void writeToRecord();

private:
    void init();
    void setEditorText(const QString& text);

    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
    QPointer<engine::Recordset> m_record;
    QString m_field;
    QString m_format;
    bool m_dirty = false;
    bool m_showing = false;
};

} // namespace vantor::widgets
