#pragma once

#include "RecordActions.h"
#include "RecordNavigator.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "widgets/BoundField.h"
#include "widgets/DataCombo.h"
#include "widgets/DataControl.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

class QCloseEvent;

#include <memory>

namespace vantor::entry {

// The result entry window: one occasion at a time (date, period, remarks),
// in date and period order, with a jump list and the way to its test values.
class frmEdit : public QWidget
{
    Q_OBJECT

public:
    explicit frmEdit(QWidget* parent = nullptr);
    ~frmEdit() override;

    engine::Recordset* recordset() const { return m_rs.get(); }

    void add();
    // Checks what was typed and writes the record; false (after telling the
    // user what is wrong) when nothing was written.
    bool update();
    void deleteRecord();
    void showDetails();
    void jumpToChoice();
    // Escape: drops a record started by Add and shows the one shown before.
    void cancelNew();
    // Something typed or chosen that is not written yet.
    bool hasUnsavedChange() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createWidgets();
    EditButtons createLayout();
    void connectButtons(const EditButtons& buttons);
    void load();
    // Validates and writes typed text into the record; false after a message.
    bool commitFields();
    // Text typed while no record is shown becomes a new record, as Add would
    // have started it.
    void startRecordFromTyped();

    std::unique_ptr<engine::Connection> m_connection;
    std::unique_ptr<engine::Recordset> m_rs;
    QLineEdit* m_date;
    QLineEdit* m_id;
    QPlainTextEdit* m_remarks;
    widgets::BoundField* m_dateField;
    widgets::BoundField* m_idField;
    widgets::BoundField* m_remarksField;
    widgets::DataControl* m_periodsData;
    widgets::DataControl* m_jumpData;
    widgets::DataCombo* m_periods;
    widgets::DataCombo* m_jump;
    RecordNavigator* m_navigator;
    QPushButton* m_detailsButton = nullptr;
};

} // namespace vantor::entry
