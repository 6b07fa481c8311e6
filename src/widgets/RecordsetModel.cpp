#include "RecordsetModel.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"

namespace vantor::widgets {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::setRecordset(engine::Recordset* recordset)
{
    if (m_recordset)
        disconnect(m_recordset, nullptr, this, nullptr);
    m_recordset = recordset;
    if (recordset) {
        connect(recordset, &engine::Recordset::rowsReset, this, &RecordsetModel::reset);
        connect(recordset, &engine::Recordset::rowAboutToBeInserted, this, [this](int row) {
            // A record appended where the new-record line stands takes that
            // line's place, and a fresh line follows: the view's current cell
            // stays on the record being typed.
            const int at = isNewRecordLine(row) ? row + 1 : row;
            beginInsertRows({}, at, at);
        });
        connect(recordset, &engine::Recordset::moveComplete, this,
                &RecordsetModel::markCurrentRecord);
        connect(recordset, &engine::Recordset::rowChanged, this,
                &RecordsetModel::markCurrentRecord);
        connect(recordset, &engine::Recordset::rowInserted, this, &RecordsetModel::onRowInserted);
        connect(recordset, &engine::Recordset::rowAboutToBeRemoved, this,
                [this](int row) { beginRemoveRows({}, row, row); });
        connect(recordset, &engine::Recordset::rowRemoved, this, &RecordsetModel::onRowRemoved);
        connect(recordset, &engine::Recordset::rowChanged, this, &RecordsetModel::onRowChanged);
        connect(recordset, &QObject::destroyed, this, &RecordsetModel::reset);
    }
    reset();
}

void RecordsetModel::setAllowAddNew(bool allow)
{
    if (allow == m_allowAddNew)
        return;
    if (allow) {
        beginInsertRows({}, m_rows, m_rows);
        m_allowAddNew = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, m_rows, m_rows);
        m_allowAddNew = false;
        endRemoveRows();
    }
}

void RecordsetModel::setColumnFormat(int column, const QString& pattern)
{
    m_formats.insert(column, pattern);
    if (m_rows > 0 && column < m_columns)
        emit dataChanged(index(0, column), index(m_rows - 1, column));
}

int RecordsetModel::recordRows() const
{
    return (m_recordset && m_recordset->isOpen()) ? m_recordset->recordCount() : 0;
}

void RecordsetModel::reset()
{
    beginResetModel();
    m_rows = recordRows();
    m_columns = 0;
    if (m_recordset && m_recordset->isOpen()) {
        for (int c = 0; c < m_recordset->fieldCount(); ++c)
            if (!m_recordset->isChapter(c))
                ++m_columns;
    }
    endResetModel();
}

void RecordsetModel::onRowInserted(int)
{
    ++m_rows;
    endInsertRows();
}

void RecordsetModel::onRowRemoved(int)
{
    --m_rows;
    endRemoveRows();
}

void RecordsetModel::onRowChanged(int row)
{
    if (row >= 0 && row < m_rows && m_columns > 0)
        emit dataChanged(index(row, 0), index(row, m_columns - 1));
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_rows + (m_allowAddNew ? 1 : 0);
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QString RecordsetModel::displayText(int row, int column) const
{
    const QVariant v = m_recordset->valueAt(row, column);
    if (v.isNull())
        return {};
    const QString pattern = m_formats.value(column);
    if (!pattern.isEmpty())
        return platform::format(v, pattern);
    return platform::valueText(v);
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_recordset || index.row() >= m_rows || index.column() >= m_columns)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        // A null value is no text at all, as on the empty new-record line.
        const QString text = displayText(index.row(), index.column());
        return text.isNull() ? QVariant() : QVariant(text);
    }
    case Qt::TextAlignmentRole: {
        const auto type = m_recordset->field(index.column()).type;
        if (type == engine::FieldType::Integer || type == engine::FieldType::Double)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (m_recordset && section >= 0 && section < m_columns)
            return m_recordset->field(section).name;
        return {};
    }
    if (isNewRecordLine(section))
        return QStringLiteral("*");
    // The record selector: an arrow at the current record, a pencil while it is edited.
    if (m_recordset && m_recordset->isOpen() && section == m_recordset->currentRow() &&
        section < m_rows)
        return m_recordset->isRowPending(section) ? QStringLiteral("\u270E")
                                                  : QStringLiteral("\u25B6");
    return {};
}

void RecordsetModel::markCurrentRecord()
{
    if (m_rows + (m_allowAddNew ? 1 : 0) > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_readOnly && m_recordset && m_recordset->lockType() != engine::LockType::ReadOnly &&
        index.column() < m_columns && !m_recordset->field(index.column()).baseTable.isEmpty())
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_recordset || m_readOnly)
        return false;
    const int column = index.column();
    const engine::Field& field = m_recordset->field(column);
    // Text typed into a cell becomes the field's type; what cannot is refused here.
    QVariant typed = value;
    const QString text = value.toString().trimmed();
    try {
        if (text.isEmpty()) {
            typed = QVariant();
        } else if (field.type == engine::FieldType::Integer) {
            typed = qlonglong(platform::toInteger32(text));
        } else if (field.type == engine::FieldType::Double) {
            typed = platform::toDouble(text);
        } else if (field.type == engine::FieldType::Date) {
            typed = platform::toDate(text);
        }
        if (isNewRecordLine(index.row())) {
            m_recordset->addNew();
            m_recordset->setValue(column, typed);
        } else {
            if (displayText(index.row(), column) == value.toString())
                return true; // unchanged
            m_recordset->setValueAt(index.row(), column, typed);
        }
    } catch (const Error& e) {
        emit editFailed(e.number(), e.description());
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

} // namespace vantor::widgets
