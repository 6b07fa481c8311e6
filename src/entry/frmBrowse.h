#pragma once

#include "engine/Connection.h"
#include "engine/Recordset.h"

#include <QWidget>

#include <memory>

class QLineEdit;
class QPlainTextEdit;

namespace vantor::widgets {
class BoundField;
class DataCombo;
class DataControl;
class DataGrid;
} // namespace vantor::widgets

namespace vantor::entry {

class NavigationKeys;
class RecordNavigator;

// The results browser: one occasion at a time, read-only, in date and period
// order, with its test values in a grid beneath. Both levels come from one
// shape command; the grid is bound once to the chapter of test values, which
// the engine refills for each occasion the cursor reaches.
class frmBrowse : public QWidget
{
    Q_OBJECT

public:
    explicit frmBrowse(QWidget* parent = nullptr);
    ~frmBrowse() override;

    engine::Recordset* recordset() const { return m_rs.get(); }
    NavigationKeys* keys() const { return m_keys; }

    void jumpToChoice();

private:
    void createWidgets();
    void createLayout();
    void load();
    void addFlagColumn();
    void fitFlagColumn();
    std::unique_ptr<engine::Connection> m_connection;
    std::unique_ptr<engine::Recordset> m_rs;
    QLineEdit* m_id;
    QLineEdit* m_date;
    QLineEdit* m_period;
    QPlainTextEdit* m_remarks;
    widgets::DataGrid* m_grid;
    widgets::DataControl* m_jumpData;
    widgets::DataCombo* m_jump;
    RecordNavigator* m_navigator;
    NavigationKeys* m_keys;
};

} // namespace vantor::entry
