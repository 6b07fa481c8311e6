#pragma once

#include "engine/Recordset.h"

#include <QPushButton>
#include <QWidget>

#include <functional>

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

// Tells the user that the occasion picked in a jump list is gone.
void reportMissingOccasion(const QString& title);

} // namespace vantor::entry
