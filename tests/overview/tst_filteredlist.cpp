// The filtered item list: its dialog, the list window, the export and Print.

#include "OverviewFixture.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "overview/AccessCode.h"
#include "overview/ChartListWindows.h"
#include "report/DataReport.h"
#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;
using platform::RecordingUi;

namespace {

const QString ExportTitle = QStringLiteral("Export Filtered List Results");

void choose(QWidget* window, const char* list, const QString& text)
{
    auto* combo = overviewtest::child<widgets::DataCombo>(window, list);
    QVERIFY(combo);
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

// The rows as the user reads them: the visible cells joined by "|".
QStringList visibleRows(const widgets::DataGrid* grid)
{
    QStringList rows;
    const QAbstractItemModel* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (!grid->isColumnHidden(c))
                cells << model->index(r, c).data().toString();
        }
        rows << cells.join(u'|');
    }
    return rows;
}

QString detailsFingerprint()
{
    engine::Connection c;
    c.open(QStringLiteral("Data Source=vantor.mdb"));
    engine::Recordset rs;
    rs.open(QStringLiteral("SELECT Count(*) AS N, Sum(Result) AS Total FROM Details"), &c);
    return rs.value(0).toString() + u'/' + rs.value(1).toString();
}

QStringList folderFiles()
{
    return QDir::current().entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestFilteredList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void getPiece_data();
    void getPiece();
    void filters_data();
    void filters();
    void listWindowKeepsTheDialogOutOfUse();
    void refusedInput_data();
    void refusedInput();
    void exportWritesTitleDateHeadingAndRows();
    void cancelledExportWritesNothing_data();
    void cancelledExportWritesNothing();
    void printShowsTheListedRows();
    void screenshot();

private:
    // Picks the inputs in the dialog and presses View List; returns the list
    // window, or nullptr when none opened.
    QWidget* viewList(const QString& item, const QString& condition, const QString& result,
                      const QString& from = QStringLiteral("05-Mar-2004"),
                      const QString& to = QStringLiteral("01-Apr-2004"));

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
    QWidget* m_dialog = nullptr;
};

void TestFilteredList::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    platform::setUi(&m_ui);
    registerChartAndListWindows();
}

void TestFilteredList::init()
{
    m_ui.clear();
    overviewtest::makeKnownDatabase();
}

void TestFilteredList::cleanup()
{
    QVERIFY(overviewtest::closeEverything());
    QVERIFY(!m_ui.isBusy());
}

QWidget* TestFilteredList::viewList(const QString& item, const QString& condition,
                                    const QString& result, const QString& from, const QString& to)
{
    m_dialog = widgets::windows().show(QStringLiteral("dlgList"));
    if (!m_dialog)
        return nullptr;
    choose(m_dialog, "DataCombo1", from);
    choose(m_dialog, "DataCombo2", to);
    choose(m_dialog, "ItemCombo", item);
    overviewtest::child<QComboBox>(m_dialog, "ConditionCombo")->setEditText(condition);
    overviewtest::child<QLineEdit>(m_dialog, "txtResult")->setText(result);
    auto* button = overviewtest::child<QPushButton>(m_dialog, "cmdOK");
    if (!button || button->text() != QStringLiteral("View List"))
        return nullptr;
    button->click();
    return widgets::windows().find(QStringLiteral("frmList"));
}

void TestFilteredList::getPiece_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("piece");
    QTest::addColumn<QString>("expected"); // a null text for no piece
    QTest::newRow("middle") << "1;equal to;2" << 2 << "equal to";
    QTest::newRow("last") << "1;equal to;2" << 3 << "2";
    QTest::newRow("one past the last") << "1;equal to;2" << 4 << QString();
    QTest::newRow("empty piece") << "a;;b" << 2 << "";
    QTest::newRow("piece zero") << "a;b" << 0 << QString();
}

void TestFilteredList::getPiece()
{
    QFETCH(QString, text);
    QFETCH(int, piece);
    QFETCH(QString, expected);
    const std::optional<QString> got =
        AccessCode::GetPiece(text, qint16(piece), QStringLiteral(";"));
    QCOMPARE(got.has_value(), !expected.isNull());
    if (got)
        QCOMPARE(*got, expected);
}

void TestFilteredList::filters_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("rows");
    const auto rows = [](std::initializer_list<const char*> texts) {
        QStringList list;
        for (const char* text : texts)
            list << QString::fromUtf8(text);
        return list;
    };
    // clang-format off
    QTest::newRow("greater than is strict") << "Glucose" << "greater than" << "88"
        << rows({"05-Mar-2004|Morning|95.5|mg/dL"});
    QTest::newRow("equal to matches exactly") << "Glucose" << "equal to" << "88"
        << rows({"05-Mar-2004|Afternoon|88|mg/dL", "06-Mar-2004|Morning|88|mg/dL"});
    QTest::newRow("equal to a fraction") << "Albumin" << "equal to" << "4.2"
        << rows({"05-Mar-2004|Morning|4.2|g/dL", "05-Mar-2004|Afternoon|4.2|g/dL"});
    QTest::newRow("less than is strict") << "Cholesterol" << "less than" << "200"
        << rows({"06-Mar-2004|Morning|180|mg/dL"});
    QTest::newRow("digits grouped by the locale") << "Cholesterol" << "greater than" << "1,000"
        << rows({"05-Mar-2004|Morning|1234.56|mg/dL"});
    // clang-format on
}

void TestFilteredList::filters()
{
    QFETCH(QString, item);
    QFETCH(QString, condition);
    QFETCH(QString, result);
    QFETCH(QStringList, rows);

    QWidget* list = viewList(item, condition, result);
    QVERIFY(list);
    QCOMPARE(list->windowTitle(), QStringLiteral("Item Results"));
    QCOMPARE(visibleRows(overviewtest::child<widgets::DataGrid>(list, "DataGrid1")), rows);
    QCOMPARE(overviewtest::child<QLabel>(list, "txtTitle")->text(),
             item + QStringLiteral(" results ") + condition + u' ' + result +
                 QStringLiteral("\n(from 05-Mar-2004 until 01-Apr-2004)"));
    QVERIFY(m_ui.messages().isEmpty());
}

void TestFilteredList::listWindowKeepsTheDialogOutOfUse()
{
    QWidget* list =
        viewList(QStringLiteral("Glucose"), QStringLiteral("greater than"), QStringLiteral("0"));
    QVERIFY(list);
    // The conditions come from the value list, each with its number.
    auto* conditions = overviewtest::child<QComboBox>(m_dialog, "ConditionCombo");
    QCOMPARE(conditions->itemText(2), QStringLiteral("less than"));
    QCOMPARE(conditions->itemData(2).toDouble(), 3.0);

    // Four columns shown: the raw date, the test and the period id stay hidden.
    auto* grid = overviewtest::child<widgets::DataGrid>(list, "DataGrid1");
    QCOMPARE(grid->model()->columnCount(), 7);
    QList<int> shown;
    for (int c = 0; c < 7; ++c) {
        if (!grid->isColumnHidden(c))
            shown << c;
    }
    QCOMPARE(shown, (QList<int>{1, 2, 4, 5}));
    QVERIFY(!overviewtest::child<QLineEdit>(list, "sSQL")->isVisible());

    QVERIFY(!m_dialog->isEnabled());
    list->close();
    QVERIFY(m_dialog->isEnabled());
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmList")));
}

void TestFilteredList::refusedInput_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    const QString notNumber = QStringLiteral("The result must be a number.");
    const QString invalid = QStringLiteral("Invalid Entry");
    // clang-format off
    QTest::newRow("always true") << "greater than" << "5 OR 1=1" << notNumber << invalid;
    QTest::newRow("statement after it") << "equal to" << "5); DROP TABLE Details; --"
                                        << notNumber << invalid;
    QTest::newRow("letters") << "less than" << "abc" << notNumber << invalid;
    QTest::newRow("empty") << "less than" << "" << "Please enter a result." << "Entry Required";
    QTest::newRow("typed condition") << "at least" << "5"
                                     << "Please choose a condition from the list." << invalid;
    QTest::newRow("nothing matches") << "greater than" << "1000"
        << "Sorry, there are no records which match that criteria." << "No Records Found";
    // clang-format on
}

void TestFilteredList::refusedInput()
{
    QFETCH(QString, condition);
    QFETCH(QString, result);
    QFETCH(QString, text);
    QFETCH(QString, title);

    const QString before = detailsFingerprint();
    QVERIFY(!viewList(QStringLiteral("Glucose"), condition, result));
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& message = m_ui.messages().first();
    QCOMPARE(message.text, text);
    QCOMPARE(message.title, title);
    QCOMPARE(message.icon,
             title == QStringLiteral("No Records Found") ? Icon::Information : Icon::Exclamation);
    QCOMPARE(message.beepsBefore, 1);
    QCOMPARE(detailsFingerprint(), before);
    QVERIFY(m_dialog->isEnabled());
}

void TestFilteredList::exportWritesTitleDateHeadingAndRows()
{
    QWidget* list =
        viewList(QStringLiteral("Glucose"), QStringLiteral("equal to"), QStringLiteral("88"));
    QVERIFY(list);
    const QString fileName = QDir::current().absoluteFilePath(QStringLiteral("glucose.txt"));
    {
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older export, longer than the new one will be\r\n");
        old.write(QByteArray(4096, 'x'));
    }
    const QStringList filesBefore = folderFiles();
    m_ui.setNow(QDateTime(QDate(2004, 7, 4), QTime(9, 30)));
    m_ui.pushInput(QDir::toNativeSeparators(fileName));
    overviewtest::child<QPushButton>(list, "cmdExport")->click();

    QCOMPARE(m_ui.prompts().size(), 1);
    QCOMPARE(m_ui.prompts().first().title, ExportTitle);
    QCOMPARE(m_ui.prompts().first().defaultText,
             QDir::toNativeSeparators(QDir::homePath()) + QDir::separator());
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().text, QStringLiteral("Export completed."));
    QCOMPARE(m_ui.messages().first().icon, Icon::Information);

    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Glucose results equal to 88\r"
                                        "(from 05-Mar-2004 until 01-Apr-2004)\r\n"
                                        "generated on Jul-04-2004\r\n"
                                        "\r\n"
                                        "\r\n"
                                        "Date\t\tPeriod\t\tResult\t\tUnit\r\n"
                                        "\r\n"
                                        "05-Mar-2004\tAfternoon\t\t88\tmg/dL\r\n"
                                        "06-Mar-2004\tMorning\t\t88\tmg/dL\r\n"));
    QCOMPARE(folderFiles(), filesBefore); // no temporary file left behind
}

void TestFilteredList::cancelledExportWritesNothing_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("cancelled") << std::optional<QString>();
    QTest::newRow("emptied") << std::optional<QString>(QString());
}

void TestFilteredList::cancelledExportWritesNothing()
{
    QFETCH(std::optional<QString>, answer);
    QWidget* list =
        viewList(QStringLiteral("Glucose"), QStringLiteral("equal to"), QStringLiteral("88"));
    QVERIFY(list);
    const QStringList filesBefore = folderFiles();
    m_ui.pushInput(answer);
    overviewtest::child<QPushButton>(list, "cmdExport")->click();
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& message = m_ui.messages().first();
    QCOMPARE(message.text, QStringLiteral("Invalid name or export cancelled by user."));
    QCOMPARE(message.title, ExportTitle);
    QCOMPARE(message.icon, Icon::Information);
    QCOMPARE(folderFiles(), filesBefore);
}

void TestFilteredList::printShowsTheListedRows()
{
    // A glucose value of an occasion whose period is gone: the list leaves it
    // out, and so must the report.
    overviewtest::execute("INSERT INTO Details (ID, Test, Result, Unit) VALUES (5, 1, 50, 'x');");
    QWidget* list =
        viewList(QStringLiteral("Glucose"), QStringLiteral("less than"), QStringLiteral("95.5"));
    QVERIFY(list);
    QCOMPARE(visibleRows(overviewtest::child<widgets::DataGrid>(list, "DataGrid1")).size(), 2);

    overviewtest::child<QPushButton>(list, "cmdPrint")->click();
    QVERIFY(m_ui.messages().isEmpty());
    QVERIFY(widgets::windows().isLoaded(QStringLiteral("DataReport2")));
    const auto document = report::DataReport2().document();
    QVERIFY(document);
    QCOMPARE(document->title(), QStringLiteral(" for Glucose results less than 95.5\r(from "
                                               "05-Mar-2004 until 01-Apr-2004)"));

    // Date, result, unit and period of each printed value.
    const int detail = document->definition().sectionIndex(QStringLiteral("Items_Detail"));
    QStringList printed;
    for (const report::Band& band : document->bands()) {
        if (band.section == detail) {
            QStringList texts = band.texts;
            texts.removeAll(QString()); // lines and labels
            printed << texts.join(u'|');
        }
    }
    QCOMPARE(printed, (QStringList{QStringLiteral("Friday, March 05, 2004|88|mg/dL|Afternoon"),
                                   QStringLiteral("Saturday, March 06, 2004|88|mg/dL|Morning")}));
}

void TestFilteredList::screenshot()
{
    QWidget* list =
        viewList(QStringLiteral("Glucose"), QStringLiteral("greater than"), QStringLiteral("80"));
    QVERIFY(list);
    overviewtest::screenshot(list, QStringLiteral("frmList"));
    overviewtest::screenshot(m_dialog, QStringLiteral("dlgList"));
    overviewtest::child<QPushButton>(list, "cmdPrint")->click();
    QWidget* preview = widgets::windows().find(QStringLiteral("DataReport2"));
    QVERIFY(preview);
    preview->resize(800, 600);
    overviewtest::screenshot(preview, QStringLiteral("frmList-print"));
}

QTEST_MAIN(TestFilteredList)
#include "tst_filteredlist.moc"
