#pragma once

#include "widgets/DataControl.h"
#include "widgets/DataGrid.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

class QCloseEvent;

namespace vantor::entry {

// The pattern of the period and test lists: a grid over a data control that
// reads the whole table, and a bar of buttons beneath (Add, Update, Delete,
// Refresh, Close) that work on the data control's recordset.
class ListWindow : public QWidget
{
    Q_OBJECT

public:
    struct Setup
    {
        QString name;    // frmPeriods
        QString caption; // "Periods List"
        QString recordSource;
        QString note;            // empty: no note label
        QList<int> columnWidths; // twips by column; 0 hides; -1 keeps the layout's width
        int nameColumn = 0;      // the column that may not be left blank
    };

    explicit ListWindow(const Setup& setup, QWidget* parent = nullptr);

    widgets::DataControl* dataControl() const { return m_data; }
    widgets::DataGrid* grid() const { return m_grid; }

    void add();
    // Writes the pending changes; false when nothing was written.
    bool update();
    void deleteRow();
    void refresh();
    bool hasUnsavedChange() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // False, after telling the user, when a row to be written has a blank name.
    bool checkNames();
    bool checkName(int row);
    engine::Recordset* recordset() const;
    void showDataError(int number, const QString& description);
    void applyColumnWidths();

    Setup m_setup;
    widgets::DataControl* m_data;
    widgets::DataGrid* m_grid;
};

// frmPeriods: the periods of the day, in id order (the order within a day).
QWidget* createPeriodsWindow();
// frmTests: the test items, by name.
QWidget* createTestsWindow();

} // namespace vantor::entry
