#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor::engine {
class Connection;
}

namespace vantor::widgets {

class QueryCursor;

// The rows of one query for the flexible grid, read only as far as they are
// needed: open() reads the first rows at once (more than a screen holds),
// fetchMore() reads on when a view scrolls to the end of what it has, and
// the rest follows in slices of a few milliseconds whenever the event loop is
// idle, so that a million rows never keep a window waiting.
//
// Cells are the texts the program shows by default (QueryCursor::displayText).
// Each distinct text of a column is kept once and a cell is its number in the
// column's pool: a million rows of seven columns take about 28 MB.
//
// Until every row is read the statement keeps a read lock on the database
// file; close() or the end of the rows lets it go. The connection must
// outlive the model's reading. Called from the user-interface thread only.
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit FlexGridModel(QObject* parent = nullptr);
    ~FlexGridModel() override;

    // Runs jetSql and reads its first firstRows rows. Throws vantor::Error
    // when the text cannot be read or run.
    void open(engine::Connection& connection, const QString& jetSql, int firstRows = 512);
    void close();
    bool isComplete() const { return !m_cursor; }
    // Reads every remaining row now.
    void fetchAll();

    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

signals:
    // Reading on failed (the rows read so far stay): number and description.
    void error(int number, const QString& description);
    // The last row was read.
    void completed();

private:
    // A column's distinct texts, each kept once.
    struct Pool
    {
        struct Hash
        {
            using is_transparent = void;
            size_t operator()(std::string_view key) const
            {
                return std::hash<std::string_view>{}(key);
            }
        };
        std::unordered_map<std::string, quint32, Hash, std::equal_to<>> index;
        std::vector<QString> texts;
        std::string key; // scratch, reused per cell
    };

    // Reads up to maxRows rows or for about budgetMs; announces them.
    void readRows(int maxRows, int budgetMs);
    bool readRow();
    void insertReadRows(int count);
    quint32 intern(int column);
    void readInIdleTime();
    void fail(int number, const QString& description);

    std::unique_ptr<QueryCursor> m_cursor;
    QStringList m_names;
    std::vector<Pool> m_pools;
    std::vector<quint32> m_cells; // row-major, read rows (also those not yet announced)
    int m_rows = 0;               // rows announced to views
    bool m_busy = false;          // reading or announcing rows
    QTimer m_idle;
};

} // namespace vantor::widgets
