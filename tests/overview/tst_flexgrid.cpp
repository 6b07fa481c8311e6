// The flexible grid and its lazily read rows.

#include "OverviewFixture.h"

#include "engine/Connection.h"
#include "platform/Error.h"
#include "widgets/FlexGrid.h"
#include "widgets/FlexGridModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>

using namespace vantor;
using widgets::FlexGrid;
using widgets::FlexGridModel;
using namespace Qt::StringLiterals;

namespace {

// A model of one column per string, a row per character: "aab" is a, a, b.
std::unique_ptr<QStandardItemModel> columnsModel(const QStringList& columns)
{
    auto model =
        std::make_unique<QStandardItemModel>(int(columns.value(0).size()), int(columns.size()));
    for (int c = 0; c < columns.size(); ++c) {
        model->setHeaderData(c, Qt::Horizontal, QStringLiteral("C%1").arg(c));
        for (int r = 0; r < columns[c].size(); ++r)
            model->setData(model->index(r, c), QString(columns[c][r]));
    }
    return model;
}

// The grid's merged blocks of a column, as "first-last" per block.
QString blocks(const FlexGrid& grid, int column)
{
    QStringList out;
    for (int r = grid.fixedRows(); r < grid.rows();) {
        const auto [first, last] = grid.mergedRows(r, column);
        out << QStringLiteral("%1-%2").arg(first).arg(last);
        r = last + 1;
    }
    return out.join(u' ');
}

void makeNumbersDatabase(int rows)
{
    overviewtest::makeEmptyDatabase();
    overviewtest::execute(
        ("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
         QByteArray::number(rows) +
         ") INSERT INTO Details (ID, Test, Result, Unit) SELECT i, i % 7, i / 10.0, "
         "CASE WHEN i % 3 = 0 THEN NULL ELSE 'u' || (i / 100) END FROM n")
            .constData());
}

// The current cell, and the selection stretched to rowSel/colSel when given.
void select(FlexGrid& grid, int row, int col, int rowSel = -1, int colSel = -1)
{
    grid.setRow(row);
    grid.setCol(col);
    if (rowSel >= 0)
        grid.setRowSel(rowSel);
    if (colSel >= 0)
        grid.setColSel(colSel);
}

const QString NumbersSql = QStringLiteral("SELECT ID, Test, Result, Unit FROM Details ORDER BY ID");

} // namespace

class TestFlexGrid : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;

private slots:
    void initTestCase() { m_s.start(); }

    void merging_data()
    {
        QTest::addColumn<FlexGrid::MergeMode>("mode");
        QTest::addColumn<bool>("mergeColumn");
        QTest::addColumn<QString>("column0");
        QTest::addColumn<QString>("column1");
        // clang-format off
        // Free merging: each column on its own, whatever its left neighbour does.
        QTest::newRow("free") << FlexGrid::MergeMode::Free << true << "1-2 3-5 6-6"
                              << "1-3 4-4 5-6";
        QTest::newRow("never") << FlexGrid::MergeMode::Never << true << "1-1 2-2 3-3 4-4 5-5 6-6"
                               << "1-1 2-2 3-3 4-4 5-5 6-6";
        QTest::newRow("columns not marked")
            << FlexGrid::MergeMode::Free << false << "1-1 2-2 3-3 4-4 5-5 6-6"
            << "1-1 2-2 3-3 4-4 5-5 6-6";
        // clang-format on
    }

    void merging()
    {
        QFETCH(FlexGrid::MergeMode, mode);
        QFETCH(bool, mergeColumn);
        QFETCH(QString, column0);
        QFETCH(QString, column1);
        auto model = columnsModel({u"aabbbc"_s, u"xxxyzz"_s});
        FlexGrid grid;
        grid.setDataSource(model.get());
        grid.setMergeCells(mode);
        grid.setMergeCol(0, mergeColumn);
        grid.setMergeCol(1, mergeColumn);
        QCOMPARE(blocks(grid, 0), column0);
        QCOMPARE(blocks(grid, 1), column1);
        grid.resize(200, 200);
        grid.grab(); // paints the blocks
    }

    void formatsFollowTheSelection()
    {
        auto model = columnsModel({u"abcd"_s, u"abcd"_s, u"abcd"_s});
        FlexGrid grid;
        grid.setDataSource(model.get());
        // Single: the current cell only, whatever is selected.
        select(grid, 2, 1, 4, 2);
        grid.setCellBackColor(Qt::red);
        QCOMPARE(grid.cellBackColor(2, 1), std::optional(QColor(Qt::red)));
        QVERIFY(!grid.cellBackColor(3, 1));
        // Repeat: every selected cell, the selection taken either way round.
        grid.setFillStyle(FlexGrid::FillStyle::Repeat);
        select(grid, 3, 2, 1, 0);
        grid.setCellFontBold(true);
        for (int r = 0; r < grid.rows(); ++r) {
            for (int c = 0; c < grid.cols(); ++c)
                QCOMPARE(grid.cellFontBold(r, c), r >= 1 && r <= 3);
        }
        // setRow/setCol start a new selection of one cell.
        select(grid, 4, 0);
        grid.setCellFontBold(true);
        QVERIFY(grid.cellFontBold(4, 0) && !grid.cellFontBold(4, 1));
        // A cell the grid does not have is refused.
        QVERIFY_THROWS_EXCEPTION(Error, grid.setRow(5));
        QVERIFY_THROWS_EXCEPTION(Error, grid.setColSel(3));
        // A later format wins where it overlaps.
        select(grid, 1, 0, 4, 2);
        grid.setCellFontBold(false);
        QVERIFY(!grid.cellFontBold(2, 1));
        grid.resize(200, 200);
        grid.grab();
    }

    void selectionToTheLastRowCoversLaterRows()
    {
        auto model = columnsModel({u"ab"_s, u"ab"_s});
        FlexGrid grid;
        grid.setDataSource(model.get());
        grid.setFillStyle(FlexGrid::FillStyle::Repeat);
        select(grid, 1, 0, grid.rows() - 1);
        grid.setCellBackColor(Qt::gray);
        select(grid, 1, 1, 1);
        grid.setCellBackColor(Qt::blue);
        model->appendRow({new QStandardItem(u"c"_s), new QStandardItem(u"c"_s)});
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.cellBackColor(3, 0), std::optional(QColor(Qt::gray)));
        QVERIFY(!grid.cellBackColor(3, 1));
        QVERIFY(!grid.cellBackColor(0, 0)); // never the fixed row
    }

    void modelReadsOnDemandAndWhenIdle()
    {
        makeNumbersDatabase(20000);
        engine::Connection connection;
        connection.open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;"));
        FlexGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy completed(&model, &FlexGridModel::completed);
        model.open(connection, NumbersSql, 100);
        QCOMPARE(model.rowCount(), 100);
        QVERIFY(model.canFetchMore());
        // Texts as shown: numbers in their default form, null as empty.
        QCOMPARE(model.text(0, 0), QStringLiteral("1"));
        QCOMPARE(model.text(14, 2), QStringLiteral("1.5"));
        QCOMPARE(model.text(2, 3), QString());
        QCOMPARE(model.text(99, 3), QStringLiteral("u1"));
        model.fetchMore();
        QVERIFY(model.rowCount() > 100);
        QVERIFY(model.rowCount() < 20000);
        // The rest comes in idle time.
        QTRY_VERIFY(model.isComplete());
        QCOMPARE(model.rowCount(), 20000);
        QCOMPARE(completed.size(), 1);
        QCOMPARE(model.text(19999, 0), QStringLiteral("20000"));
        QCOMPARE(model.text(19998, 2), QStringLiteral("1999.9"));
        QCOMPARE(model.text(19998, 3), QStringLiteral("u199"));
    }
};

QTEST_MAIN(TestFlexGrid)
#include "tst_flexgrid.moc"
