// The two reports run as the dialogs run them, read back from their PDF.

#include "ReportTestSupport.h"

#include "engine/Connection.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/RecordingUi.h"
#include "report/DataReport.h"
#include "report/ReportCommands.h"
#include "report/ReportPreview.h"
#include "report/ReportRun.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using platform::RecordingUi;

namespace {

const QDate Today(2024, 6, 14);
const QString Footer = QStringLiteral("Friday, June 14, 2024");

QDate march(int day)
{
    return QDate(2004, 3, day);
}

report::ReportPreview* runDaily(const QDate& from, const QDate& to)
{
    return report::runReport(QStringLiteral("Results_Grouping"),
                             report::dailyResultsShape(report::resultsQuery(from, to)),
                             report::DataReport1(),
                             QStringLiteral(" from ") + platform::mediumDate(from) +
                                 QStringLiteral(" to ") + platform::mediumDate(to));
}

report::ReportPreview* runSingle(qint32 item, const QString& name, const QDate& from,
                                 const QDate& to)
{
    return report::runReport(
        QStringLiteral("Test_Items_Grouping"),
        report::singleItemShape(report::testItemQuery(item), report::itemValuesQuery(from, to)),
        report::DataReport2(), QStringLiteral(" for ") + name);
}

// Every expected line stands in the text as a whole line, in this order.
void expectInOrder(const QString& text, const QStringList& expected)
{
    const QStringList lines = text.split(u'\n');
    qsizetype at = 0;
    for (const QString& line : expected) {
        const qsizetype found = lines.indexOf(line, at);
        QVERIFY2(
            found >= 0,
            qPrintable(QStringLiteral("missing or out of order: \"%1\" in\n%2").arg(line, text)));
        at = found + 1;
    }
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dailyResults_data();
    void dailyResults();
    void singleItem_data();
    void singleItem();
    void flagsStandBesideOutOfRangeValues();
    void manyValuesRunOverPages();
    void aLongReportShowsItsFirstPageAtOnce();
    void cancelStopsTheLayoutAndKeepsThePages();
    void aLongTitleWraps();
    void previewFitsItsScreen();
    void printsTheChosenPages();
    void savingWhereNoFileCanBeIsReported();
    void aRunThatFailsOpensNothing();

private:
    // Saves the preview's report through its button and returns its pages.
    QStringList savedPages(report::ReportPreview* preview);

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
};

void TestReports::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::setUi(&m_ui);
    if (!reporttest::havePdfToText())
        QSKIP("pdftotext (poppler-utils) is not installed; run scripts/setup.sh");
}

void TestReports::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    reporttest::seedSmallDatabase();
    m_ui.clear();
    m_ui.setNow(QDateTime(Today, QTime(9, 30)));
}

void TestReports::cleanup()
{
    widgets::windows().closeAll();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    // A report lets go of the file once it has read it.
    QCOMPARE(engine::Connection::openConnectionCount(), 0);
    QDir::setCurrent(m_oldCwd);
}

QStringList TestReports::savedPages(report::ReportPreview* preview)
{
    const QString pdf = QDir(m_dir.path()).filePath(QStringLiteral("report.pdf"));
    QFile::remove(pdf);
    m_ui.pushFileName(pdf);
    QPushButton* save = preview->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"));
    if (!save)
        return {};
    save->click();
    const QString dir = qEnvironmentVariable("VANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        const QString name = QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                             QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
        QFile::remove(QDir(dir).filePath(name + QStringLiteral(".pdf")));
        QFile::copy(pdf, QDir(dir).filePath(name + QStringLiteral(".pdf")));
        reporttest::screenshot(preview, name);
    }
    return reporttest::pdfPages(pdf);
}

void TestReports::dailyResults_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("lines");

    // Morning (the lower period id) before Afternoon, under one date heading.
    QTest::newRow("one date") << march(5) << march(5)
                              << QStringList{QStringLiteral(
                                                 "Daily Results from 05-Mar-2004 to 05-Mar-2004"),
                                             QStringLiteral("Friday, March 05, 2004"),
                                             QStringLiteral("Morning"),
                                             QStringLiteral("Cholesterol 180 mg/dL"),
                                             QStringLiteral("Glucose 95 mg/dL"),
                                             QStringLiteral("Afternoon"),
                                             QStringLiteral("Glucose 130.5 mg/dL"),
                                             QStringLiteral("Page 1 of 1 ") + Footer};
    QTest::newRow("whole span") << march(1) << QDate(2004, 4, 30)
                                << QStringList{QStringLiteral(
                                                   "Daily Results from 01-Mar-2004 to 30-Apr-2004"),
                                               QStringLiteral("Friday, March 05, 2004"),
                                               QStringLiteral("Saturday, March 06, 2004"),
                                               QStringLiteral("Glucose 101 mg/dL"),
                                               QStringLiteral("Saturday, April 10, 2004"),
                                               QStringLiteral("Evening"),
                                               QStringLiteral("Potassium 4.2 mmol/L"),
                                               QStringLiteral("Page 1 of 1 ") + Footer};
}

void TestReports::dailyResults()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, lines);
    report::ReportPreview* preview = runDaily(from, to);
    QVERIFY(preview && preview->isVisible());
    // The whole preview, frame and buttons, is on the screen it opened on.
    const QRect screen = preview->screen()->availableGeometry();
    QVERIFY2(screen.contains(preview->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                            .arg(preview->frameGeometry().x())
                            .arg(preview->frameGeometry().y())
                            .arg(preview->frameGeometry().width())
                            .arg(preview->frameGeometry().height())
                            .arg(screen.width())
                            .arg(screen.height())));
    const QStringList pages = savedPages(preview);
    QCOMPARE(pages.size(), 1);
    expectInOrder(pages.first(), lines);
    // One heading per date.
    const QString heading = lines.at(1);
    QCOMPARE(pages.first().count(heading), 1);
    QVERIFY(m_ui.messages().isEmpty());
}

void TestReports::singleItem_data()
{
    QTest::addColumn<qint32>("item");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("rows");

    // The rows by date and period, each with the period's name.
    QTest::newRow("values")
        << 1 << QStringLiteral("Glucose") << QDate(2004, 4, 30)
        << QStringList{QStringLiteral("Single Item Records for Glucose"),
                       QStringLiteral("Results for: Glucose"),
                       QStringLiteral("Friday, March 05, 2004 95 mg/dL Morning"),
                       QStringLiteral("Friday, March 05, 2004 130.5 mg/dL Afternoon"),
                       QStringLiteral("Saturday, March 06, 2004 101 mg/dL Morning"),
                       QStringLiteral("Page 1 of 1 ") + Footer}
        << 3;
    // Potassium has a value in April only; March holds other items' values.
    QTest::newRow("no values in the span")
        << 3 << QStringLiteral("Potassium") << march(31)
        << QStringList{QStringLiteral("Single Item Records for Potassium"),
                       QStringLiteral("Results for: Potassium"),
                       QStringLiteral("No values in this date range."),
                       QStringLiteral("Page 1 of 1 ") + Footer}
        << 0;
}

void TestReports::singleItem()
{
    QFETCH(qint32, item);
    QFETCH(QString, name);
    QFETCH(QDate, to);
    QFETCH(QStringList, lines);
    QFETCH(int, rows);
    report::ReportPreview* preview = runSingle(item, name, march(1), to);
    QVERIFY(preview);
    const QStringList pages = savedPages(preview);
    QCOMPARE(pages.size(), 1);
    expectInOrder(pages.first(), lines);
    QCOMPARE(pages.first().count(QStringLiteral(", 2004 ")), rows);
    QCOMPARE(pages.first().count(QStringLiteral("No values in this date range.")), rows ? 0 : 1);
}

// Both reports print H or L between a value and its unit; a value equal to a
// limit, or recorded in another unit than its item's, gets none.
void TestReports::flagsStandBesideOutOfRangeValues()
{
    reporttest::execute(QStringLiteral("UPDATE Tests SET Low = 95, High = 101 WHERE ID = 1"));
    reporttest::execute(QStringLiteral("UPDATE Tests SET High = 170 WHERE ID = 2"));
    reporttest::execute(QStringLiteral("UPDATE Tests SET Low = 4.5, Units = 'mEq/L' WHERE ID = 3"));
    reporttest::execute(QStringLiteral("UPDATE Details SET Result = 94 WHERE Result = 95"));
    QStringList pages = savedPages(runDaily(march(1), QDate(2004, 4, 30)));
    QCOMPARE(pages.size(), 1);
    expectInOrder(pages.first(),
                  {QStringLiteral("Cholesterol 180 H mg/dL"), QStringLiteral("Glucose 94 L mg/dL"),
                   QStringLiteral("Glucose 130.5 H mg/dL"), QStringLiteral("Glucose 101 mg/dL"),
                   QStringLiteral("Potassium 4.2 mmol/L")});
    widgets::windows().closeAll();
    pages = savedPages(runSingle(1, QStringLiteral("Glucose"), march(1), QDate(2004, 4, 30)));
    QCOMPARE(pages.size(), 1);
    expectInOrder(pages.first(), {QStringLiteral("Friday, March 05, 2004 94 L mg/dL Morning"),
                                  QStringLiteral("Friday, March 05, 2004 130.5 H mg/dL Afternoon"),
                                  QStringLiteral("Saturday, March 06, 2004 101 mg/dL Morning")});
    QVERIFY(m_ui.messages().isEmpty());
}

// The filtered list's title of two lines is on paper whole, date range and all.
void TestReports::aLongTitleWraps()
{
    const QString title = QStringLiteral(
        " for Glucose results greater than 90\r(from 01-Mar-2004 until 30-Apr-2004)");
    report::ReportPreview* preview = report::runReport(
        QStringLiteral("Test_Items_Grouping"),
        report::singleItemShape(report::testItemQuery(1),
                                report::itemValuesQuery(march(1), QDate(2004, 4, 30))),
        report::DataReport2(), title);
    QVERIFY(preview);
    const QStringList pages = savedPages(preview);
    QCOMPARE(pages.size(), 1);
    expectInOrder(pages.first(),
                  {QStringLiteral("Single Item Records for Glucose results greater than 90"),
                   QStringLiteral("(from 01-Mar-2004 until 30-Apr-2004)"),
                   QStringLiteral("Results for: Glucose")});
}

void TestReports::manyValuesRunOverPages()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createLargeDatabase(QStringLiteral("vantor.mdb"), 2000);
    report::ReportPreview* preview = runDaily(QDate(1900, 1, 1), QDate(2999, 12, 31));
    QTRY_VERIFY_WITH_TIMEOUT(!preview->isLayingOut(), 60000);
    const auto document = report::DataReport1().document();
    QVERIFY(document);
    const std::vector<report::Band> bands = document->bands();
    const int details =
        int(std::count_if(bands.begin(), bands.end(), [&](const report::Band& band) {
            return document->definition().section(band.section).name ==
                   QStringLiteral("Details_Detail");
        }));
    QCOMPARE(details, 2000);

    const QStringList pages = savedPages(preview);
    QVERIFY2(pages.size() > 20, qPrintable(QString::number(pages.size())));
    QCOMPARE(pages.size(), document->pageCount());
    // Every page opens on a date heading: a date whose values run on from the
    // page before says so, and so does its period heading below it.
    static const QRegularExpression dateHeading(
        QStringLiteral("^[A-Z][a-z]+day, [A-Z][a-z]+ \\d{2}, \\d{4}( \\(continued\\))?$"));
    int continued = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList lines = pages.at(i).split(u'\n');
        QVERIFY(lines.first().startsWith(QStringLiteral("Daily Results from ")));
        QVERIFY2(dateHeading.match(lines.at(1)).hasMatch(), qPrintable(pages.at(i)));
        if (lines.at(1).endsWith(QStringLiteral(" (continued)"))) {
            ++continued;
            const QString previous = pages.at(i - 1);
            QVERIFY(previous.contains(lines.at(1).chopped(12) + u'\n'));
            QVERIFY2(!lines.at(2).contains(QRegularExpression(QStringLiteral("\\d"))) ||
                         lines.at(2).endsWith(QStringLiteral(" (continued)")),
                     qPrintable(lines.at(2)));
        }
        QCOMPARE(lines.last(),
                 QStringLiteral("Page %1 of %2 ").arg(i + 1).arg(pages.size()) + Footer);
    }
    QVERIFY2(continued > 0, qPrintable(pages.value(1)));

    auto* label = preview->findChild<QLabel*>(QStringLiteral("lblPages"));
    QCOMPARE(label->text(), QStringLiteral("Page 1 of %1").arg(pages.size()));
    preview->findChild<QPushButton*>(QStringLiteral("cmdLast"))->click();
    QCOMPARE(preview->currentPage(), pages.size() - 1);
    QVERIFY(!preview->findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());
    preview->findChild<QPushButton*>(QStringLiteral("cmdPrevious"))->click();
    QCOMPARE(label->text(),
             QStringLiteral("Page %1 of %2").arg(pages.size() - 1).arg(pages.size()));
}

void TestReports::aLongReportShowsItsFirstPageAtOnce()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createLargeDatabase(QStringLiteral("vantor.mdb"), 40000);
    report::ReportPreview* preview = runDaily(QDate(1900, 1, 1), QDate(2999, 12, 31));
    QVERIFY(preview && preview->isVisible());
    auto document = report::DataReport1().document();
    QVERIFY(document);
    // The first page is there to read while the last is not laid out yet.
    QVERIFY(preview->isLayingOut());
    QVERIFY(!document->isComplete());
    QVERIFY(document->pageCount() >= 1);
    auto* label = preview->findChild<QLabel*>(QStringLiteral("lblPages"));
    QVERIFY2(label->text().startsWith(QStringLiteral("Page 1 of ")) &&
                 label->text().endsWith(QStringLiteral("...")),
             qPrintable(label->text()));
    QVERIFY(preview->findChild<QWidget*>(QStringLiteral("prgLayout"))->isVisible());
    QVERIFY(!preview->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"))->isEnabled());
    reporttest::screenshot(preview, QStringLiteral("previewLayingOut"));
    // The rows are read as the pages are laid out.
    QCOMPARE(engine::Connection::openConnectionCount(), 1);
    const int early = document->pageCount();

    QTRY_VERIFY_WITH_TIMEOUT(!preview->isLayingOut(), 120000);
    QVERIFY(document->isComplete());
    QVERIFY(!document->wasStopped());
    QVERIFY(document->pageCount() > early);
    QCOMPARE(engine::Connection::openConnectionCount(), 0);
    const std::vector<report::Band> bands = document->bands();
    const int details =
        int(std::count_if(bands.begin(), bands.end(), [&](const report::Band& band) {
            return document->definition().section(band.section).name ==
                   QStringLiteral("Details_Detail");
        }));
    QCOMPARE(details, 40000);
    QCOMPARE(label->text(), QStringLiteral("Page 1 of %1").arg(document->pageCount()));
    QVERIFY(!preview->findChild<QWidget*>(QStringLiteral("prgLayout"))->isVisible());
    QVERIFY(preview->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"))->isEnabled());
    // Closing the preview lets go of the report.
    preview->close();
    document.reset();
    QTRY_VERIFY(!report::DataReport1().document());
}

void TestReports::cancelStopsTheLayoutAndKeepsThePages()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createLargeDatabase(QStringLiteral("vantor.mdb"), 40000);
    report::ReportPreview* preview = runDaily(QDate(1900, 1, 1), QDate(2999, 12, 31));
    QVERIFY(preview->isLayingOut());
    auto* cancel = preview->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    QVERIFY(cancel && cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!preview->isLayingOut());
    QVERIFY(!cancel->isVisible());
    QCOMPARE(engine::Connection::openConnectionCount(), 0);
    const auto document = report::DataReport1().document();
    QVERIFY(document->isComplete() && document->wasStopped());
    const int pages = document->pageCount();
    QTest::qWait(100);
    QCOMPARE(document->pageCount(), pages); // nothing more is laid out
    QVERIFY(m_ui.messages().isEmpty());

    // The pages laid out so far are the report: they save whole, numbered
    // against the pages there are.
    const QStringList saved = savedPages(preview);
    QCOMPARE(saved.size(), pages);
    QCOMPARE(saved.last().split(u'\n').last(),
             QStringLiteral("Page %1 of %1 ").arg(pages) + Footer);

    // The program goes on: the next run reads its own rows from the start.
    QFile::remove(QStringLiteral("vantor.mdb"));
    reporttest::seedSmallDatabase();
    preview = runDaily(march(1), march(31));
    QVERIFY(!preview->isLayingOut());
    QVERIFY(!report::DataReport1().document()->wasStopped());
    QVERIFY(savedPages(preview).first().contains(QStringLiteral("Daily Results from ")));
}

void TestReports::printsTheChosenPages()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createLargeDatabase(QStringLiteral("vantor.mdb"), 300);
    QTRY_VERIFY(!runDaily(QDate(1900, 1, 1), QDate(2999, 12, 31))->isLayingOut());
    const auto document = report::DataReport1().document();
    QVERIFY(document->pageCount() >= 3);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QDir(m_dir.path()).filePath(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(pdf);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    document->print(printer);
    const QStringList pages = reporttest::pdfPages(pdf);
    QCOMPARE(pages.size(), 2);
    for (int i : {0, 1})
        QVERIFY(pages.at(i).endsWith(
            QStringLiteral("Page %1 of %2 ").arg(i + 2).arg(document->pageCount()) + Footer));
}

// A preview larger than its screen, or partly off it, opens whole on it.
void TestReports::previewFitsItsScreen()
{
    report::ReportPreview* preview = runDaily(march(5), march(5));
    QVERIFY(preview);
    const QRect screen = preview->screen()->availableGeometry();
    preview->hide();
    preview->resize(screen.size() + QSize(300, 300));
    preview->move(screen.topLeft() - QPoint(200, 200));
    preview->show();
    QVERIFY2(screen.contains(preview->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                            .arg(preview->frameGeometry().x())
                            .arg(preview->frameGeometry().y())
                            .arg(preview->frameGeometry().width())
                            .arg(preview->frameGeometry().height())
                            .arg(screen.width())
                            .arg(screen.height())));
}

void TestReports::savingWhereNoFileCanBeIsReported()
{
    report::ReportPreview* preview = runDaily(march(5), march(5));
    m_ui.pushFileName(QDir(m_dir.path()).filePath(QStringLiteral("no/such/folder/report")));
    preview->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"))->click();
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("report.pdf")));
    QVERIFY(!m_ui.isBusy());
}

void TestReports::aRunThatFailsOpensNothing()
{
    // The daily report over the single item command: its levels are not there.
    const QString shape = report::singleItemShape(report::testItemQuery(1),
                                                  report::itemValuesQuery(march(1), march(31)));
    try {
        report::runReport(QStringLiteral("Results_Grouping"), shape, report::DataReport1(),
                          QStringLiteral(" from"));
        QFAIL("ran");
    } catch (const Error& e) {
        QVERIFY2(e.description().contains(QStringLiteral("(Date)")), qPrintable(e.description()));
    }
    QVERIFY(!widgets::windows().isLoaded(QStringLiteral("DataReport1")));
    QVERIFY_THROWS_EXCEPTION(
        Error, report::runReport(QStringLiteral("Nope"), shape, report::DataReport1(), QString()));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
