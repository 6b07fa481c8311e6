#include "DataCombo.h"

#include "DataControl.h"

#include "platform/Error.h"
#include "platform/Format.h"

#include <QSignalBlocker>
#include <QStandardItemModel>

namespace vantor::widgets {

DataCombo::DataCombo(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    connect(this, &QComboBox::activated, this, &DataCombo::onActivated);
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
    const QString kept = boundText();
    const QSignalBlocker blocker(this);
    auto* model = new QStandardItemModel(this);
    if (m_rows && m_rows->isOpen()) {
        const int list = m_rows->fieldIndex(m_listField);
        const int bound = m_rows->fieldIndex(m_boundColumn.isEmpty() ? m_listField : m_boundColumn);
        if (list >= 0 && bound >= 0) {
            for (int r = 0; r < m_rows->recordCount(); ++r) {
                auto* item = new QStandardItem(platform::valueText(m_rows->valueAt(r, list)));
                item->setData(m_rows->valueAt(r, bound), Qt::UserRole);
                item->setEditable(false);
                model->appendRow(item);
            }
        }
    }
    setModel(model); // the combo deletes the model it owned before
    setCurrentIndex(-1);
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

QString DataCombo::boundText() const
{
    return platform::valueText(boundValue());
}

void DataCombo::setBoundText(const QString& text)
{
    const QSignalBlocker blocker(this);
    for (int i = 0; i < count(); ++i) {
        if (platform::valueText(itemData(i, Qt::UserRole)) == text) {
            setCurrentIndex(i);
            return;
        }
    }
    setCurrentIndex(-1);
}

// The current record changed: show its field's entry.
void DataCombo::followRecord()
{
    if (!m_record || !m_record->isOpen() || m_record->bof() || m_record->eof()) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(-1);
        return;
    }
    try {
        setBoundText(platform::valueText(m_record->value(m_dataField)));
    } catch (const Error&) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(-1);
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
