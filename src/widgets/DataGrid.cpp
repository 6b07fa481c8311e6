#include "DataGrid.h"

#include "DataControl.h"
#include "Twips.h"

#include "platform/Error.h"

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
    m_model->setRecordset(recordset);
    if (recordset)
        connect(recordset, &engine::Recordset::moveComplete, this, &DataGrid::followRecordset);
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

int DataGrid::columnWidthTwips(int column) const
{
    return isColumnHidden(column) ? 0 : pixelsToTwipsX(columnWidth(column), this);
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
    if (m_syncing || !rs || !rs->isOpen() || !current.isValid() ||
        current.row() == previous.row() || m_model->isNewRecordLine(current.row()))
        return;
    const QScopedValueRollback guard(m_syncing, true);
    try {
        if (rs->currentRow() != current.row())
            rs->setAbsolutePosition(current.row() + 1);
    } catch (const Error& e) {
        emit dataError(e.number(), e.description());
    }
}

} // namespace vantor::widgets
