#pragma once

#include "RecordActions.h"
#include "RecordNavigator.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "widgets/BoundField.h"
#include "widgets/DataCombo.h"
#include "widgets/DataControl.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class QCloseEvent;

#include <memory>

namespace vantor::entry {

// The test values of one occasion: the occasion shown in the result entry
// window when this window loads. The unit comes from the chosen test item
// and cannot be typed.
class frmDetails : public QWidget
{
    Q_OBJECT

public:
    // occasionId: the identifier read from the entry window.
    explicit frmDetails(qint32 occasionId, QWidget* parent = nullptr);
    ~frmDetails() override;

    engine::Recordset* recordset() const { return m_rs.get(); }
    qint32 occasionId() const { return m_occasion; }

    void add();
    bool update();
    void deleteRecord();
    void Update_Units();
    // Escape: drops a value started by Add and shows the one shown before.
    void cancelNew();
    bool hasUnsavedChange() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createWidgets();
    EditButtons createLayout();
    void connectButtons(const EditButtons& buttons);
    void load();
    bool commitFields();
    void showFlag();
    // A value typed while none is shown becomes a new one, as Add would start it.
    void startRecordFromTyped();
    // "Record Details - 05-Mar-2004, Evening": which occasion the values go under.
    QString occasionCaption() const;

    qint32 m_occasion;
    std::unique_ptr<engine::Connection> m_connection;
    std::unique_ptr<engine::Recordset> m_rs;
    widgets::DataControl* m_testsData;
    widgets::DataCombo* m_test;
    QLineEdit* m_testId;
    QLineEdit* m_result;
    QLineEdit* m_unit;
    widgets::BoundField* m_testIdField;
    widgets::BoundField* m_resultField;
    widgets::BoundField* m_unitField;
    RecordNavigator* m_navigator;
    QLabel* m_flag; // the value's high/low flag and its item's reference range
};

// Loads the details window for the occasion the entry window shows; nullptr
// (after telling the user) when there is none.
QWidget* createDetailsWindow();

} // namespace vantor::entry
