#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace vantor::engine {

class Connection;
class RowStore;

enum class CursorType { ForwardOnly, Keyset, Dynamic, Static };
enum class LockType { ReadOnly, Pessimistic, Optimistic, BatchOptimistic };
enum class EditMode { None, InProgress, AddNew, Delete };

// ADO's special AbsolutePosition values.
constexpr int PosUnknown = -1;
constexpr int PosBOF = -2;
constexpr int PosEOF = -3;

enum class FieldType { Null, Integer, Double, Text, Date, Chapter };

struct Field
{
    QString name;
    FieldType type = FieldType::Null; // declared type where known, else the first value's
    QString baseTable;                // table a written value goes to; empty: not writable
    QString baseColumn;
    int rowidColumn = -1;             // result column of that table's rowid, -1 if none
};

// A static, client-side recordset: the rows of one SQL text read at open,
// with a current-row cursor, finding, and optimistic writes.
//
// Values are QVariant: null (QVariant()), qint64, double, QString, QDate.
//
// Writes: AddNew or a field change starts an edit of the current row. With
// LockType::Optimistic, Update writes that row at once (as does moving off an
// edited row); Delete removes the row at once. With BatchOptimistic, changes
// and deletions stay pending until UpdateBatch. UpdateBatch writes every
// pending row in one transaction: all or nothing; after a failure the pending
// rows are as they were. A row changed or deleted by someone else since it was
// read is refused with Error::RowConflict, never overwritten.
//
// Errors are thrown as vantor::Error with a description for the user.
class Recordset : public QObject
{
    Q_OBJECT
public:
    explicit Recordset(QObject* parent = nullptr);
    ~Recordset() override;

    // Opens the rows of source (a Jet SQL text, or a shape command when the
    // connection is a shape connection). Keeps a pointer to the connection,
    // which must stay open while the recordset writes.
    void open(const QString& source, Connection* connection,
              CursorType cursor = CursorType::Static, LockType lock = LockType::ReadOnly);
    void close();
    bool isOpen() const;
    // Runs the source again; pending changes are dropped; moves to the first row.
    void requery();

    QString source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }
    Connection* activeConnection() const { return m_connection; }
    LockType lockType() const { return m_lock; }

    // Fields
    int fieldCount() const;
    const Field& field(int index) const;
    int fieldIndex(const QString& name) const; // -1 when none; case-insensitive
    QStringList fieldNames() const;

    // The current row's values. Throw Error::NoCurrentRecord at BOF or EOF.
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    void setValue(int column, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);

    // Cursor
    bool bof() const;
    bool eof() const;
    int recordCount() const;
    int absolutePosition() const; // 1-based, or PosBOF / PosEOF
    void setAbsolutePosition(int position);
    void moveFirst();
    void moveLast();
    void moveNext();     // Error::NoCurrentRecord when already at EOF
    void movePrevious(); // Error::NoCurrentRecord when already at BOF

    // Searches from the current row (after skipping skipRecords rows) for the
    // first row that meets criteria, a text "column op value" with op one of
    // = <> < > <= >= LIKE (e.g. "[ID]=42", "Test = 'Glucose'"). Leaves the
    // cursor on that row, or at EOF (forward) / BOF (backward) when none does.
    bool find(const QString& criteria, int skipRecords = 0, bool forward = true);

    // Editing
    EditMode editMode() const;
    void addNew();
    void update();
    void cancelUpdate();
    void deleteCurrent();
    void updateBatch();
    void cancelBatch();
    bool hasPendingChanges() const;

    // Row access by index (0-based over the rows the cursor visits), for models.
    int rowCount() const { return recordCount(); }
    QVariant valueAt(int row, int column) const;
    void setValueAt(int row, int column, const QVariant& value);
    int currentRow() const { return m_current; } // -1 at BOF, rowCount() at EOF
    bool isRowPending(int row) const;
    bool isNewRow(int row) const;

signals:
    // After every move of the cursor, also when open() lands on the first row.
    void moveComplete();
    // The rows were replaced (open, requery, close).
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);

private:
    void checkOpen() const;
    void checkCurrent() const;
    void setCurrent(int row);
    void commitRowIfEditedAndLeaving(int newRow);
    int editableRowOrThrow(int column);
    void writeRows(const std::vector<int>& rows);
    void writeRow(int row);
    void throwIfReadOnly() const;

    QString m_source;
    Connection* m_connection = nullptr;
    CursorType m_cursor = CursorType::Static;
    LockType m_lock = LockType::ReadOnly;
    std::unique_ptr<RowStore> m_rows;
    int m_current = -1;
    int m_editRow = -1; // the row with an edit in progress (AddNew or changed fields), -1 if none
    bool m_editIsNew = false;
};

} // namespace vantor::engine
