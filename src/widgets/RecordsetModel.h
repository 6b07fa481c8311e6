#pragma once

#include "engine/Recordset.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QVector>

#include <functional>

namespace vantor::widgets {

// A table model over a recordset: one row per record, one column per data
// field, headers from the field names. With allowAddNew, an empty line after
// the last record takes a new record: typing into it starts one (AddNew).
// Edits go into the recordset, which writes them as its lock type says.
//
// Dates show in the short date form unless a column has a display format.
// The vertical header is the record selector: it marks the current record.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordsetModel(QObject* parent = nullptr);

    void setRecordset(engine::Recordset* recordset);
    engine::Recordset* recordset() const { return m_recordset; }

    void setAllowAddNew(bool allow);
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Asked before text typed into a cell is stored; false refuses it (the
    // check tells the user why) and leaves the row as it was.
    using EditCheck = std::function<bool(int row, int column, const QString& text)>;
    void setEditCheck(EditCheck check) { m_editCheck = std::move(check); }
    // A read-only column computed from a record (a flag, say), shown after
    // the recordset's own columns.
    struct DerivedColumn
    {
        QString header;
        std::function<QVariant(const engine::Recordset& rs, int row, int role)> data;
    };
    void setDerivedColumns(QVector<DerivedColumn> columns);
    // A display pattern for a column (e.g. "dd-mmm-yy"); empty for the default.
    void setColumnFormat(int column, const QString& pattern);

    // The new-record line, when shown, is the last row.
    bool isNewRecordLine(int row) const { return m_allowAddNew && row == m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // Writing an edit failed: the recordset's error, for the window to show.
    void editFailed(int number, const QString& description);

private:
    void reset();
    void markCurrentRecord();
    void onRowInserted(int row);
    void onRowRemoved(int row);
    void onRowChanged(int row);
    int recordRows() const;
    QString displayText(int row, int column) const;

    QPointer<engine::Recordset> m_recordset;
    int m_rows = 0; // records as last announced to views
    int m_columns = 0;
    bool m_allowAddNew = false;
    bool m_readOnly = false;
    EditCheck m_editCheck;
    QVector<DerivedColumn> m_derived;
    QHash<int, QString> m_formats;
};

} // namespace vantor::widgets
