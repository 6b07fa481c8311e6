#include "DataGrid.h"

#include "DataControl.h"
#include "Twips.h"

#include "platform/Error.h"

#include <QApplication>
#include <QHeaderView>
#include <QScopedValueRollback>

namespace vantor::widgets {

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new RecordsetModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(u'M') * 2);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DataGrid::onCurrentRowChanged);
    connect(m_model, &RecordsetModel::editFailed, this, &DataGrid::dataError);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::followRecordset);
}

void DataGrid::setDataSource(DataControl* control)
{
    connect(control, &DataControl::refreshed, this,
            [this, control] { setRecordset(control->recordset()); });
    setRecordset(control->recordset());
}

void DataGrid::setRecordset(engine::Recordset* recordset)
{
    if (m_model->recordset() == recordset)
        return;
    if (m_model->recordset())
        disconnect(m_model->recordset(), nullptr, this, nullptr);
    if (recordset) {
        // While a row goes, the view moves its current cell to a neighbour by
        // itself; that is no move of the user's and must not move the cursor
        // (a Delete would otherwise skip the row that follows the deleted one).
        // Connected before the model, which announces the removal to the view.
        connect(recordset, &engine::Recordset::rowAboutToBeRemoved, this,
                [this] { m_removing = true; });
    }
    m_model->setRecordset(recordset);
    if (recordset) {
        connect(recordset, &engine::Recordset::moveComplete, this, &DataGrid::followRecordset);
        connect(recordset, &engine::Recordset::rowRemoved, this, [this] {
            m_removing = false;
            followRecordset();
        });
    }
    followRecordset();
}

void DataGrid::setReadOnly(bool readOnly)
{
    m_model->setReadOnly(readOnly);
    if (readOnly)
        setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void DataGrid::setColumnWidthTwips(int column, int twips)
{
    if (twips <= 0) {
        setColumnHidden(column, true);
        return;
    }
    setColumnHidden(column, false);
    setColumnWidth(column, twipsToPixelsX(twips, this));
}

void DataGrid::finishEditing()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    // An open editor has the focus and writes its text when it loses it.
    QWidget* editor = QApplication::focusWidget();
    if (editor && viewport()->isAncestorOf(editor))
        setFocus(Qt::OtherFocusReason);
}

// The recordset moved: show its current record as the grid's current row.
void DataGrid::followRecordset()
{
    engine::Recordset* rs = m_model->recordset();
    if (!rs || !rs->isOpen() || m_syncing)
        return;
    const int row = rs->currentRow();
    if (row < 0 || row >= rs->recordCount())
        return;
    const QScopedValueRollback guard(m_syncing, true);
    const int column = std::max(currentIndex().column(), 0);
    int visible = column;
    while (visible < m_model->columnCount() && isColumnHidden(visible))
        ++visible;
    if (visible >= m_model->columnCount())
        return;
    selectionModel()->setCurrentIndex(m_model->index(row, visible),
                                      QItemSelectionModel::ClearAndSelect);
}

// The user moved to another row: the recordset follows, which writes an
// edited row that is left behind.
void DataGrid::onCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous)
{
    engine::Recordset* rs = m_model->recordset();
    if (m_syncing || m_removing || !rs || !rs->isOpen() || !current.isValid() ||
        current.row() == previous.row() || m_model->isNewRecordLine(current.row()))
        return;
    const QScopedValueRollback guard(m_syncing, true);
    const int left = rs->currentRow();
    if (m_rowCheck && left != current.row() && rs->isRowPending(left) && !m_rowCheck(left)) {
        const int column = std::max(current.column(), 0);
        selectionModel()->setCurrentIndex(m_model->index(left, column),
                                          QItemSelectionModel::ClearAndSelect);
        return;
    }
    try {
        if (rs->currentRow() != current.row())
            rs->setAbsolutePosition(current.row() + 1);
    } catch (const Error& e) {
        emit dataError(e.number(), e.description());
    }
}

} // namespace vantor::widgets
