// The filtered item list: its dialog, the list window, the export and Print.

#include "OverviewFixture.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "overview/OverviewWindows.h"
#include "report/DataReport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace vantor;
using namespace vantor::overview;
using overviewtest::gridRows;
using platform::Icon;
using namespace Qt::StringLiterals;

namespace {

const QString ExportTitle = QStringLiteral("Export Filtered List Results");

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
    return QDir::current().entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestFilteredList : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;
    platform::RecordingUi& m_ui = m_s.ui;
    QWidget* m_dialog = nullptr;

    // Picks the inputs over all dates and presses View List; returns the list
    // window, or nullptr when none opened.
    QWidget* viewList(const QString& item, const QString& condition, const QString& result)
    {
        m_dialog = widgets::windows().show(QStringLiteral("dlgList"));
        if (!m_dialog)
            return nullptr;
        overviewtest::choose(m_dialog, "DataCombo1", QStringLiteral("05-Mar-2004"));
        overviewtest::choose(m_dialog, "DataCombo2", QStringLiteral("01-Apr-2004"));
        overviewtest::choose(m_dialog, "ItemCombo", item);
        overviewtest::child<QComboBox>(m_dialog, "ConditionCombo")->setEditText(condition);
        overviewtest::child<QLineEdit>(m_dialog, "txtResult")->setText(result);
        overviewtest::child<QPushButton>(m_dialog, "cmdOK")->click();
        return widgets::windows().find(QStringLiteral("frmList"));
    }
    QWidget* glucoseEqualTo88()
    {
        return viewList(QStringLiteral("Glucose"), QStringLiteral("equal to"),
                        QStringLiteral("88"));
    }

private slots:
    void initTestCase()
    {
        m_s.start();
        registerOverviewWindows();
    }
    void init() { m_s.reset(); }
    void cleanup() { QVERIFY(m_s.finish()); }

    void filters_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("rows");
        // clang-format off
        QTest::newRow("greater than is strict") << "Glucose" << "greater than" << "88"
            << QStringList{u"05-Mar-2004|Morning|95.5|mg/dL|"_s};
        QTest::newRow("equal to matches exactly") << "Glucose" << "equal to" << "88"
            << QStringList{u"05-Mar-2004|Afternoon|88|mg/dL|"_s, u"06-Mar-2004|Morning|88|mg/dL|"_s};
        QTest::newRow("equal to a fraction") << "Albumin" << "equal to" << "4.2"
            << QStringList{u"05-Mar-2004|Morning|4.2|g/dL|"_s, u"05-Mar-2004|Afternoon|4.2|g/dL|"_s};
        QTest::newRow("less than is strict") << "Cholesterol" << "less than" << "200"
            << QStringList{u"06-Mar-2004|Morning|180|mg/dL|"_s};
        QTest::newRow("digits grouped by the locale") << "Cholesterol" << "greater than" << "1,000"
            << QStringList{u"05-Mar-2004|Morning|1234.56|mg/dL|"_s};
        // clang-format on
    }
    void filters()
    {
        QFETCH(QString, item);
        QFETCH(QString, condition);
        QFETCH(QString, result);
        QFETCH(QStringList, rows);
        QWidget* list = viewList(item, condition, result);
        QVERIFY(list);
        // Four columns shown: the raw date, the test and the period id stay hidden.
        QCOMPARE(gridRows(overviewtest::child<widgets::DataGrid>(list, "DataGrid1")), rows);
        QVERIFY(m_ui.messages().isEmpty());
        // The dialog is out of use while the list is open.
        QVERIFY(!m_dialog->isEnabled());
        list->close();
        QVERIFY(m_dialog->isEnabled());
        QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmList")));
    }

    void refusedInput_data()
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
    void refusedInput()
    {
        QFETCH(QString, condition);
        QFETCH(QString, result);
        QFETCH(QString, text);
        QFETCH(QString, title);
        const QString before = detailsFingerprint();
        QVERIFY(!viewList(QStringLiteral("Glucose"), condition, result));
        const Icon icon =
            title == QStringLiteral("No Records Found") ? Icon::Information : Icon::Exclamation;
        QCOMPARE(overviewtest::onlyMessage(m_ui), overviewtest::shown(1, title, icon, text));
        QCOMPARE(detailsFingerprint(), before);
        QVERIFY(m_dialog->isEnabled());
    }

    void exportToFile_data()
    {
        QTest::addColumn<std::optional<QString>>("answer"); // the file name typed in the prompt
        QTest::addColumn<bool>("replace"); // the answer to "replace the existing file?"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("file");
        const QByteArray old =
            "an older export, longer than the new one\r\n" + QByteArray(4096, 'x');
        // The title's lone CR, the date of the export, the heading and the rows.
        QTest::newRow("written over an older file after a Yes")
            << std::optional<QString>(u"glucose.txt"_s) << true << u"Export completed."_s
            << QByteArray("Glucose results equal to 88\r(from 05-Mar-2004 until 01-Apr-2004)\r\n"
                          "generated on Jul-04-2004\r\n\r\n\r\n"
                          "Date\t\tPeriod\t\tResult\t\tUnit\r\n\r\n"
                          "05-Mar-2004\tAfternoon\t\t88\tmg/dL\r\n"
                          "06-Mar-2004\tMorning\t\t88\tmg/dL\r\n");
        QTest::newRow("kept after a No")
            << std::optional<QString>(u"glucose.txt"_s) << false << QString() << old;
        const QString cancelled = u"Invalid name or export cancelled by user."_s;
        QTest::newRow("cancelled") << std::optional<QString>() << false << cancelled << old;
        QTest::newRow("emptied") << std::optional<QString>(QString()) << false << cancelled << old;
    }
    void exportToFile()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, replace);
        QFETCH(QString, message);
        QFETCH(QByteArray, file);
        QWidget* list = glucoseEqualTo88();
        QVERIFY(list);
        const QString fileName = QDir::current().absoluteFilePath(u"glucose.txt"_s);
        overviewtest::writeFile(fileName, "an older export, longer than the new one\r\n" +
                                              QByteArray(4096, 'x'));
        const QStringList filesBefore = folderFiles();
        m_ui.setNow(QDateTime(QDate(2004, 7, 4), QTime(9, 30)));
        const bool named = answer && !answer->isEmpty();
        m_ui.pushInput(named ? QDir::toNativeSeparators(fileName) : answer);
        if (named)
            m_ui.pushAnswer(replace ? platform::Answer::Yes : platform::Answer::No);
        overviewtest::child<QPushButton>(list, "cmdExport")->click();
        if (named) {
            const auto question = m_ui.takeFirstMessage();
            QCOMPARE(question.title, ExportTitle);
            QCOMPARE(question.icon, Icon::Question);
            QVERIFY(question.text.contains(QDir::toNativeSeparators(fileName)));
        }
        if (message.isEmpty())
            QVERIFY(m_ui.messages().isEmpty());
        else
            QCOMPARE(overviewtest::onlyMessage(m_ui),
                     overviewtest::shown(1, ExportTitle, Icon::Information, message));
        QCOMPARE(overviewtest::readFile(fileName), file);
        QCOMPARE(folderFiles(), filesBefore); // no temporary file left behind
    }

    // Flag: L and H against the item's range; the tooltip names the range.
    void flagsValuesOutOfRange()
    {
        overviewtest::execute("UPDATE Tests SET Low = 90, High = 95 WHERE Test = 'Glucose';");
        QWidget* list = viewList(QStringLiteral("Glucose"), QStringLiteral("greater than"),
                                 QStringLiteral("0"));
        QVERIFY(list);
        auto* grid = overviewtest::child<widgets::DataGrid>(list, "DataGrid1");
        QCOMPARE(gridRows(grid), (QStringList{u"05-Mar-2004|Morning|95.5|mg/dL|H"_s,
                                              u"05-Mar-2004|Afternoon|88|mg/dL|L"_s,
                                              u"06-Mar-2004|Morning|88|mg/dL|L"_s}));
        QCOMPARE(grid->model()->headerData(8, Qt::Horizontal).toString(), u"Flag"_s);
        QCOMPARE(grid->model()->index(0, 8).data(Qt::ToolTipRole).toString(),
                 u"90 \u2013 95 mg/dL"_s);
        overviewtest::screenshot(list, QStringLiteral("frmList-flags"));
        // The flag is in view beside the unit, without scrolling.
        QVERIFY(grid->columnViewportPosition(8) + grid->columnWidth(8) <=
                grid->viewport()->width());
    }

    // The database, however the typed name reaches it, is never written.
    void exportRefusesTheDatabase_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("inText");
        const QString database = u"it is the results database in use"_s;
        QTest::newRow("relative") << u"vantor.mdb"_s << database;
        QTest::newRow("absolute") << QDir::current().absoluteFilePath(u"vantor.mdb"_s) << database;
        QTest::newRow("link") << u"link-to-db.txt"_s << database;
        QTest::newRow("journal") << u"vantor.mdb-journal"_s << u"journal"_s;
    }
    void exportRefusesTheDatabase()
    {
        QFETCH(QString, typed);
        QFETCH(QString, inText);
        QFile::remove(u"link-to-db.txt"_s);
        QVERIFY(
            QFile::link(QDir::current().absoluteFilePath(u"vantor.mdb"_s), u"link-to-db.txt"_s));
        QWidget* list = glucoseEqualTo88();
        QVERIFY(list);
        const QByteArray before = overviewtest::readFile(u"vantor.mdb"_s);
        const QStringList filesBefore = folderFiles();
        m_ui.pushInput(typed);
        overviewtest::child<QPushButton>(list, "cmdExport")->click();
        QCOMPARE(m_ui.messages().size(), 1);
        const auto& m = m_ui.messages().first();
        QVERIFY2(m.text.contains(inText), qPrintable(m.text));
        QCOMPARE(m.title, ExportTitle);
        QCOMPARE(m.icon, Icon::Critical);
        QCOMPARE(overviewtest::readFile(u"vantor.mdb"_s), before);
        QCOMPARE(folderFiles(), filesBefore);
        QFile::remove(u"link-to-db.txt"_s);
    }

    void printShowsTheListedRows()
    {
        // A glucose value of an occasion whose period is gone: the list leaves
        // it out, and so must the report.
        overviewtest::execute(
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (5, 1, 50, 'x');");
        QWidget* list = viewList(QStringLiteral("Glucose"), QStringLiteral("less than"),
                                 QStringLiteral("95.5"));
        QVERIFY(list);
        overviewtest::screenshot(list, QStringLiteral("frmList"));
        QCOMPARE(gridRows(overviewtest::child<widgets::DataGrid>(list, "DataGrid1")).size(), 2);

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
        QCOMPARE(printed,
                 (QStringList{QStringLiteral("Friday, March 05, 2004|88|mg/dL|Afternoon"),
                              QStringLiteral("Saturday, March 06, 2004|88|mg/dL|Morning")}));
    }
};

QTEST_MAIN(TestFilteredList)
#include "tst_filteredlist.moc"
