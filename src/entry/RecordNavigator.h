#pragma once

#include "engine/Recordset.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace vantor::entry {

// The position text of the record windows: "Record: n of m", or "No Records".
QString positionText(const engine::Recordset& recordset);

// The status box of a record window (picStatBox): the buttons cmdFirst,
// cmdPrevious, cmdNext, cmdLast around the position label lblStatus. Next at
// the end and Previous at the start sound the beep and stay on the last or
// first record. A failure is shown with its description and the program title.
class RecordNavigator : public QWidget
{
    Q_OBJECT

public:
    explicit RecordNavigator(QWidget* parent = nullptr);

    void setRecordset(engine::Recordset* recordset);
    // Runs before every move; returning false leaves the cursor where it is
    // (the window keeps what the user typed until it is valid).
    void setBeforeMove(std::function<bool()> hook) { m_beforeMove = std::move(hook); }

    QLabel* status() const { return m_status; }

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();
    void updateStatus();

private:
    void run(const std::function<void(engine::Recordset&)>& move);

    QPointer<engine::Recordset> m_recordset;
    std::function<bool()> m_beforeMove;
    QPushButton* m_first;
    QPushButton* m_previous;
    QLabel* m_status;
    QPushButton* m_next;
    QPushButton* m_last;
};

} // namespace vantor::entry
