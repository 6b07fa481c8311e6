#pragma once

#include "engine/Recordset.h"
#include "widgets/DataCombo.h"
#include "widgets/DataControl.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <functional>

class QShortcut;

namespace vantor::entry {

// A push button named as the windows name their controls, not a default button.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);

// The button bar of the record windows (picButtons): Add, Update, Delete, Close.
struct EditButtons
{
    QWidget* bar;
    QPushButton* add;
    QPushButton* update;
    QPushButton* remove;
    QPushButton* close;
};
EditButtons makeEditButtons(QWidget* parent);

// A hidden data control that reads recordSource on the list connection.
widgets::DataControl* makeListData(QWidget* parent, const char* name, const QString& recordSource);
// A data combo box that lists listField and stands for boundColumn.
widgets::DataCombo* makeDataCombo(QWidget* parent, const char* name, const QString& listField,
                                  const QString& boundColumn);
// A field's label, whose access key moves to the field.
QLabel* buddyLabel(const QString& text, QWidget* buddy);
// A list's data error, told to the user as the engine words it.
void showDataError(int number, const QString& description);
// Escape anywhere in the window runs the returned shortcut's activated().
QShortcut* escapeShortcut(QWidget* window);

// Deletes the shown record and shows the next one, or the new last one when
// the deleted record was the last. Nothing happens without a current record.
void deleteAndShowNext(engine::Recordset& rs);

// Shows the occasion a jump list stands for: its bound text is the occasion's
// ID, searched from the first record. When no record has that ID (it was
// deleted since the list was read), the record shown before stays and the
// result is false.
bool jumpToOccasion(engine::Recordset& rs, const QString& boundText);
// Before a window with an unsaved change closes: "Save changes to this
// record?" Yes saves (false when that fails), No discards, Cancel keeps the
// window. True when the window may close.
bool mayClose(const QWidget& window, bool unsaved, const std::function<bool()>& save,
              const std::function<void()>& discard);

// The same for a record window: No drops the pending edit of `rs`.
bool mayCloseRecord(const QWidget& window, engine::Recordset& rs, bool unsaved,
                    const std::function<bool()>& save);

// Writes what is typed in a record window: when no record is shown,
// startRecord first makes one of what is typed; then commitFields moves the
// fields into it and the record is saved. False when a step fails.
bool saveTyped(engine::Recordset& rs, const std::function<void()>& startRecord,
               const std::function<bool()>& commitFields);

// Tells the user that the occasion picked in a jump list is gone.
void reportMissingOccasion(const QString& title);

} // namespace vantor::entry
