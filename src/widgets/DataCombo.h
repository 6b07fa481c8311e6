#pragma once

#include "engine/Recordset.h"

#include <QComboBox>
#include <QPointer>

namespace vantor::widgets {

class DataControl;
class RowSourceModel;

// The data combo: its entries are the rows of a row source (a data control's
// recordset), each showing the list field and standing for the value of the
// bound column. With a data source and data field, the entry follows that
// field of the current record, and choosing an entry writes its bound value
// into the field. choiceMade() is the choice event: the user picked an entry.
// The entries are read from the row source as the list shows them, so a list
// of a hundred thousand occasions costs no more than the recordset itself.
class DataCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit DataCombo(QWidget* parent = nullptr);

    void setRowSource(DataControl* control);
    void setRowSource(engine::Recordset* rows);
    void setListField(const QString& name) { m_listField = name; }
    void setBoundColumn(const QString& name) { m_boundColumn = name; }
    void setDataSource(engine::Recordset* record, const QString& dataField);

    // Reads the row source again into the entries (the bound text is kept).
    void refill();

    // The bound value of the chosen entry; null when none is chosen.
    QVariant boundValue() const;
    // The bound value as text; empty when none is chosen.
    QString boundText() const;
    // Chooses the entry whose bound value reads as text; none when no entry does.
    void setBoundText(const QString& text);

signals:
    void choiceMade();
    // Writing the choice into the data source failed.
    void dataError(int number, const QString& description);

private:
    void followRecord();
    // Chooses an entry without a choice event.
    void choose(int index);
    void onActivated(int index);

    RowSourceModel* m_model = nullptr;
    QString m_choice; // the bound text of the chosen entry, kept across a refill
    QPointer<engine::Recordset> m_rows;
    QString m_listField;
    QString m_boundColumn;
    QPointer<engine::Recordset> m_record;
    QString m_dataField;
};

} // namespace vantor::widgets
