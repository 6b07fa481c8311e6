#pragma once

#include "Sqlite.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace vantor::engine {

class Connection;
class RowStore;
struct ShapeNode;
struct TranslatedSql;

enum class CursorType { ForwardOnly, Keyset, Dynamic, Static };
enum class LockType { ReadOnly, Pessimistic, Optimistic, BatchOptimistic };
enum class EditMode { None, InProgress, AddNew, Delete };

// ADO's special AbsolutePosition values.
constexpr int PosUnknown = -1;
constexpr int PosBOF = -2;
constexpr int PosEOF = -3;

struct Field
{
    QString name;
    FieldType type = FieldType::Null; // declared type where known, else the first value's
    QString baseTable;                // table a written value goes to; empty: not writable
    QString baseColumn;
    int rowidColumn = -1; // result column of that table's rowid, -1 if none
    // The table is in the FROM clause twice (a self-join): SQLite names only
    // the table of a column, not its alias, so a write could land on the
    // other alias's row. Such fields are read-only.
    bool selfJoined = false;
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
    void open(const QString& source, Connection* connection, CursorType cursor = CursorType::Static,
              LockType lock = LockType::ReadOnly);
    void close();
    bool isOpen() const;
    // Runs the source again; pending changes are dropped; moves to the first row.
    void requery();

    QString source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }
    LockType lockType() const { return m_lock; }

    // Fields
    int fieldCount() const;
    const Field& field(int index) const;
    int fieldIndex(const QString& name) const; // -1 when none; case-insensitive
    QStringList fieldNames() const;

    // Chapter fields of a shaped recordset: the child rows of the current
    // row, as a recordset owned by this one that follows this one's cursor.
    // value() of a chapter field holds that recordset as a QObject*.
    bool isChapter(int column) const;
    Recordset* chapter(int column);
    Recordset* chapter(const QString& name);

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
    // Around a row that comes or goes, for models that must announce it first.
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);

private:
    struct PendingDelete;
    struct Chapter;
    using Filter = std::vector<std::pair<QString, QVariant>>;

    void checkOpen() const;
    void checkCurrent() const;
    void checkWritable(int column) const;
    void load();
    void loadTranslated(const TranslatedSql& t, const Filter& filter);
    void openNode(const ShapeNode& node, const Filter& filter);
    void addAppendChapters(const ShapeNode& node);
    void copyRowsFrom(const Recordset& source, const std::vector<int>& rows);
    void refreshChapters();
    void refreshChapter(Chapter& chapter);
    void finishLoad();
    int dataFieldCount() const { return int(m_fields.size() - m_chapters.size()); }
    // Moves the cursor; an edited row left behind is written first (optimistic).
    void moveTo(int row);
    void leaveEditedRow(int newRow);
    void writeRows(const std::vector<int>& rows, const std::vector<PendingDelete>& deletes);
    bool rowMatches(int row, int column, int op, const QVariant& value) const;

    QString m_source;
    Connection* m_connection = nullptr;
    CursorType m_cursor = CursorType::Static;
    LockType m_lock = LockType::ReadOnly;
    std::vector<Field> m_fields;
    std::unique_ptr<RowStore> m_rows;
    std::vector<PendingDelete> m_pendingDeletes;
    std::shared_ptr<const ShapeNode> m_shape; // the parsed shape command, shared with children
    const ShapeNode* m_node = nullptr;        // this level of it
    std::vector<std::unique_ptr<Chapter>> m_chapters; // chapter fields follow the data fields
    bool m_updatable = false;
    int m_current = -1;            // -1 before the first row, rowCount() past the last
    bool m_currentDeleted = false; // the row at the cursor was just deleted
    int m_editRow = -1;            // the row being edited (AddNew or changed fields), -1 if none
    int m_rowBeforeAdd = -1;
};

} // namespace vantor::engine
