#pragma once

#include "RecordsetModel.h"

#include <QTableView>

#include <functional>

namespace vantor::widgets {

class DataControl;

// The data grid: every column of a recordset, editable in place with a
// new-record line at the end (when allowed), columns sized or hidden by
// index. The grid's current row is the recordset's current record, so
// leaving an edited row writes it, as the optimistic cursor does.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget* parent = nullptr);

    // Binds to a data control's recordset (rebinding on every refresh) or
    // directly to a recordset.
    void setDataSource(DataControl* control);
    void setRecordset(engine::Recordset* recordset);
    engine::Recordset* recordset() const { return m_model->recordset(); }
    RecordsetModel* recordsetModel() const { return m_model; }

    void setAllowAddNew(bool allow) { m_model->setAllowAddNew(allow); }
    void setReadOnly(bool readOnly);

    // Column widths in twips, by 0-based index; a width of 0 hides the column.
    void setColumnWidthTwips(int column, int twips);
    void setColumnVisible(int column, bool visible) { setColumnHidden(column, !visible); }

    // Asked before the user leaves an edited row (which writes it); false
    // keeps the cursor on that row. The check tells the user what is wrong.
    void setRowCheck(std::function<bool(int row)> check) { m_rowCheck = std::move(check); }
    // Writes what is typed in an open cell editor into the recordset.
    void finishEditing();

signals:
    // A write or a move failed: number and description, for the window to show.
    void dataError(int number, const QString& description);

private:
    void followRecordset();
    void onCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);

    RecordsetModel* m_model;
    bool m_syncing = false;
    bool m_removing = false;
    std::function<bool(int row)> m_rowCheck;
};

} // namespace vantor::widgets
