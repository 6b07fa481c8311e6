#pragma once

#include "engine/Connection.h"
#include "engine/Recordset.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace vantor::widgets {

// The data control: a connection string and a record source, and the live
// recordset that grids, combos and bound fields of a window read. Refresh()
// (re)opens both; a failure is reported through the error() signal, which
// the list windows turn into "Data error event hit err:" messages.
//
// It may show a small navigation bar (first, previous, caption, next, last),
// as the list windows do; elsewhere it stays hidden.
class DataControl : public QWidget
{
    Q_OBJECT

public:
    explicit DataControl(QWidget* parent = nullptr);
    ~DataControl() override;

    void setConnectionString(const QString& text) { m_connectionString = text; }
    const QString& connectionString() const { return m_connectionString; }
    void setRecordSource(const QString& text) { m_recordSource = text; }
    const QString& recordSource() const { return m_recordSource; }
    void setLockType(engine::LockType lock) { m_lock = lock; }
    void setCaption(const QString& caption);

    // Runs the record source again (discarding unsaved edits) and rebinds.
    // Returns false after reporting the failure through error().
    bool refresh();
    // The live recordset; nullptr until the first successful refresh.
    engine::Recordset* recordset() const { return m_recordset.get(); }

signals:
    // The data engine reported a failure: its number and description.
    void error(int number, const QString& description);
    // A new recordset was opened (bound controls rebind to it).
    void refreshed();

private:
    void move(void (engine::Recordset::*step)());
    void showPosition();

    QString m_connectionString;
    QString m_recordSource;
    engine::LockType m_lock = engine::LockType::Optimistic;
    std::unique_ptr<engine::Connection> m_connection;
    std::unique_ptr<engine::Recordset> m_recordset;
    QLabel* m_caption = nullptr;
    QString m_fixedCaption;
};

} // namespace vantor::widgets
