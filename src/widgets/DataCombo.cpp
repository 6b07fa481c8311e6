#include "DataCombo.h"

#include "DataControl.h"

#include "platform/Error.h"
#include "platform/Format.h"

#include <QAbstractListModel>
#include <QListView>
#include <QSignalBlocker>

namespace vantor::widgets {

// The entries of a data combo, read from its row source's rows when shown:
// the list field as text, the bound column's value under Qt::UserRole. It
// follows the rows of the recordset as they come and go; when all of them
// are read again, the combo's refill() (on its data control's refresh)
// makes a new model, keeping the choice.
class RowSourceModel : public QAbstractListModel
{
public:
    RowSourceModel(engine::Recordset* rows, int list, int bound, QObject* parent)
        : QAbstractListModel(parent), m_rows(rows), m_list(list), m_bound(bound)
    {
        if (!rows)
            return;
        connect(rows, &engine::Recordset::rowAboutToBeInserted, this,
                [this](int row) { beginInsertRows({}, row, row); });
        connect(rows, &engine::Recordset::rowInserted, this, [this] { endInsertRows(); });
        connect(rows, &engine::Recordset::rowAboutToBeRemoved, this,
                [this](int row) { beginRemoveRows({}, row, row); });
        connect(rows, &engine::Recordset::rowRemoved, this, [this] { endRemoveRows(); });
        connect(rows, &engine::Recordset::rowChanged, this,
                [this](int row) { emit dataChanged(index(row), index(row)); });
        connect(rows, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_rows = nullptr;
            endResetModel();
        });
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid() || !m_rows || !m_rows->isOpen())
            return 0;
        return m_rows->rowCount();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return platform::valueText(m_rows->valueAt(index.row(), m_list));
        case Qt::UserRole:
            return m_rows->valueAt(index.row(), m_bound);
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // The first row whose bound value reads as text, -1 when none does.
    int findBound(const QString& text) const
    {
        const int rows = rowCount();
        bool isNumber = false;
        const qlonglong number = text.toLongLong(&isNumber);
        for (int r = 0; r < rows; ++r) {
            const QVariant v = m_rows->valueAt(r, m_bound);
            // Compare the common kinds without making text of every row.
            switch (v.typeId()) {
            case QMetaType::QString:
                if (v.toString() == text)
                    return r;
                continue;
            case QMetaType::LongLong:
                if (isNumber && v.toLongLong() == number)
                    return r;
                continue;
            default:
                if (platform::valueText(v) == text)
                    return r;
            }
        }
        return -1;
    }

private:
    engine::Recordset* m_rows;
    int m_list;
    int m_bound;
};

DataCombo::DataCombo(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    // Rows of one height: the list need not measure every entry.
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    connect(this, &QComboBox::activated, this, &DataCombo::onActivated);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { m_choice = boundText(); });
}

void DataCombo::setRowSource(DataControl* control)
{
    connect(control, &DataControl::refreshed, this,
            [this, control] { setRowSource(control->recordset()); });
    setRowSource(control->recordset());
}

void DataCombo::setRowSource(engine::Recordset* rows)
{
    m_rows = rows;
    refill();
}

void DataCombo::setDataSource(engine::Recordset* record, const QString& dataField)
{
    if (m_record)
        disconnect(m_record, nullptr, this, nullptr);
    m_record = record;
    m_dataField = dataField;
    if (record) {
        connect(record, &engine::Recordset::moveComplete, this, &DataCombo::followRecord);
        connect(record, &engine::Recordset::rowChanged, this, &DataCombo::followRecord);
    }
    followRecord();
}

void DataCombo::refill()
{
    // The rows may have been read again under the old entries already.
    const QString kept = m_choice;
    const QSignalBlocker blocker(this);
    int list = -1;
    int bound = -1;
    if (m_rows && m_rows->isOpen()) {
        list = m_rows->fieldIndex(m_listField);
        bound = m_rows->fieldIndex(m_boundColumn.isEmpty() ? m_listField : m_boundColumn);
    }
    m_model =
        new RowSourceModel(list >= 0 && bound >= 0 ? m_rows.data() : nullptr, list, bound, this);
    setModel(m_model); // the combo deletes the model it owned before
    choose(-1);
    if (!kept.isEmpty())
        setBoundText(kept);
    if (m_record)
        followRecord();
}

QVariant DataCombo::boundValue() const
{
    const int i = currentIndex();
    return i < 0 ? QVariant() : itemData(i, Qt::UserRole);
}

void DataCombo::choose(int index)
{
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
    m_choice = boundText();
}

QString DataCombo::boundText() const
{
    return platform::valueText(boundValue());
}

void DataCombo::setBoundText(const QString& text)
{
    choose(m_model && !text.isEmpty() ? m_model->findBound(text) : -1);
}

// The current record changed: show its field's entry.
void DataCombo::followRecord()
{
    if (!m_record || !m_record->isOpen() || m_record->bof() || m_record->eof()) {
        choose(-1);
        return;
    }
    try {
        setBoundText(platform::valueText(m_record->value(m_dataField)));
    } catch (const Error&) {
        choose(-1);
    }
}

void DataCombo::onActivated(int index)
{
    if (index >= 0 && m_record && m_record->isOpen() && !m_record->bof() && !m_record->eof()) {
        try {
            m_record->setValue(m_dataField, itemData(index, Qt::UserRole));
        } catch (const Error& e) {
            emit dataError(e.number(), e.description());
        }
    }
    emit choiceMade();
}

} // namespace vantor::widgets
