// The report dialogs driven as a user would: pick dates and an item, View Report.

#include "OverviewFixture.h"
#include "report/ReportTestSupport.h"

#include "engine/Connection.h"
#include "overview/OverviewWindows.h"
#include "platform/RecordingUi.h"
#include "report/ReportPreview.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using platform::Icon;
using platform::RecordingUi;

namespace {

using overviewtest::choose;

void viewReport(QWidget* dialog)
{
    auto* button = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    QVERIFY(button);
    button->click();
}

} // namespace

class TestReportDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogsOpenOnTheWholeSpan_data();
    void dialogsOpenOnTheWholeSpan();
    void reportsFromTwoDialogsKeepTheirOwnData();
    void emptySpanFindsNoRecords_data();
    void emptySpanFindsNoRecords();
    void failureIsTrappedUnderPreviewReport();
    void pdfNeverReplacesTheDatabase();

private:
    QWidget* open(const char* name) { return widgets::windows().show(QLatin1String(name)); }
    // The text of each page of a report's preview, saved as PDF.
    QStringList previewPages(const char* report);

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
};

void TestReportDialogs::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::setUi(&m_ui);
    overview::registerOverviewWindows();
    if (!reporttest::havePdfToText())
        QSKIP("pdftotext (poppler-utils) is not installed; run scripts/setup.sh");
}

void TestReportDialogs::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    reporttest::seedSmallDatabase();
    m_ui.clear();
    m_ui.setNow(QDateTime(QDate(2024, 6, 14), QTime(9, 30)));
}

void TestReportDialogs::cleanup()
{
    widgets::windows().closeAll();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    QCOMPARE(engine::Connection::openConnectionCount(), 0);
    QVERIFY(!m_ui.isBusy());
    QDir::setCurrent(m_oldCwd);
}

QStringList TestReportDialogs::previewPages(const char* report)
{
    auto* preview =
        qobject_cast<report::ReportPreview*>(widgets::windows().find(QLatin1String(report)));
    if (!preview || !preview->isVisible())
        return {};
    const QString pdf = QDir(m_dir.path()).filePath(QStringLiteral("preview.pdf"));
    QFile::remove(pdf);
    m_ui.pushFileName(pdf);
    preview->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"))->click();
    return reporttest::pdfPages(pdf);
}

void TestReportDialogs::dialogsOpenOnTheWholeSpan_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("title");

    QTest::newRow("daily results")
        << QStringLiteral("dlgReport1") << QStringLiteral("DataReport1")
        << QStringLiteral("Daily Results from 05-Mar-2004 to 10-Apr-2004");
    // The first item by name with values is Cholesterol.
    QTest::newRow("single item") << QStringLiteral("dlgReport2") << QStringLiteral("DataReport2")
                                 << QStringLiteral("Single Item Records for Cholesterol");
}

void TestReportDialogs::dialogsOpenOnTheWholeSpan()
{
    QFETCH(QString, dialog);
    QFETCH(QString, report);
    QFETCH(QString, title);
    QWidget* w = open(dialog.toLatin1().constData());
    QVERIFY(w);
    viewReport(w);
    QVERIFY(m_ui.messages().isEmpty());
    QVERIFY(m_ui.busyChanges() >= 2); // the hourglass came and went
    const QStringList pages = previewPages(report.toLatin1().constData());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first().section(u'\n', 0, 0), title);
    QVERIFY(w->isVisible()); // the dialog stays for another run
    reporttest::screenshot(w, dialog);
}

void TestReportDialogs::reportsFromTwoDialogsKeepTheirOwnData()
{
    QWidget* daily = open("dlgReport1");
    choose(daily, "DataCombo1", QStringLiteral("06-Mar-2004"));
    choose(daily, "DataCombo2", QStringLiteral("06-Mar-2004"));
    viewReport(daily);
    QWidget* single = open("dlgReport2");
    choose(single, "ItemCombo", QStringLiteral("Glucose"));
    viewReport(single);

    const QString dailyPage = previewPages("DataReport1").value(0);
    QVERIFY(dailyPage.startsWith(QStringLiteral("Daily Results from 06-Mar-2004 to 06-Mar-2004\n"
                                                "Saturday, March 06, 2004\nMorning\n"
                                                "Glucose 101 mg/dL\n")));
    QVERIFY(!dailyPage.contains(QStringLiteral("March 05")));
    const QString singlePage = previewPages("DataReport2").value(0);
    QVERIFY(singlePage.startsWith(QStringLiteral("Single Item Records for Glucose\n"
                                                 "Results for: Glucose\n"
                                                 "Friday, March 05, 2004 95 mg/dL Morning\n")));

    // Running the first dialog again replaces its report only.
    choose(daily, "DataCombo1", QStringLiteral("10-Apr-2004"));
    choose(daily, "DataCombo2", QStringLiteral("10-Apr-2004"));
    viewReport(daily);
    QVERIFY(previewPages("DataReport1").value(0).contains(QStringLiteral("Potassium 4.2 mmol/L")));
    QCOMPARE(previewPages("DataReport2").value(0), singlePage);
}

void TestReportDialogs::emptySpanFindsNoRecords_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("daily results") << QStringLiteral("dlgReport1");
    QTest::newRow("single item") << QStringLiteral("dlgReport2");
}

void TestReportDialogs::emptySpanFindsNoRecords()
{
    QFETCH(QString, dialog);
    QWidget* w = open(dialog.toLatin1().constData());
    // The lists keep the dates read when the dialog opened.
    reporttest::execute(QStringLiteral("DELETE FROM Details"));
    reporttest::execute(QStringLiteral("DELETE FROM Results"));
    viewReport(w);
    QCOMPARE(m_ui.messages().size(), 1);
    const RecordingUi::Message& m = m_ui.messages().first();
    QCOMPARE(m.title, QStringLiteral("No Records Found"));
    QCOMPARE(m.beepsBefore, 1);
    QVERIFY(!widgets::windows().isLoaded(QStringLiteral("DataReport1")));
    QVERIFY(!widgets::windows().isLoaded(QStringLiteral("DataReport2")));
}

void TestReportDialogs::failureIsTrappedUnderPreviewReport()
{
    QWidget* w = open("dlgReport1");
    QVERIFY(QFile::rename(QStringLiteral("vantor.mdb"), QStringLiteral("moved.mdb")));
    viewReport(w);
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().title, QStringLiteral("Preview Report"));
    QCOMPARE(m_ui.messages().first().icon, Icon::Critical);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("vantor.mdb")));
    QVERIFY(!m_ui.isBusy());
    QVERIFY(w->isVisible());
}

// Save as PDF writes through a temporary file, and never over the results
// file, by its own name or through a link to it.
void TestReportDialogs::pdfNeverReplacesTheDatabase()
{
    QWidget* w = open("dlgReport1");
    viewReport(w);
    auto* preview = widgets::windows().find(QStringLiteral("DataReport1"));
    QVERIFY(preview && preview->isVisible());
    const QString database = QDir(m_dir.path()).filePath(QStringLiteral("vantor.mdb"));
    const QString link = QDir(m_dir.path()).filePath(QStringLiteral("report.pdf"));
    QVERIFY(QFile::link(database, link));
    const auto contents = [&database] {
        QFile f(database);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = contents();
    for (const QString& target : {database, QStringLiteral("vantor.mdb"), link}) {
        m_ui.clear();
        m_ui.pushFileName(target);
        preview->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"))->click();
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().first().icon, Icon::Critical);
        QCOMPARE(contents(), before);
    }
    QFile::remove(link);
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
             QStringList());
    QVERIFY(!previewPages("DataReport1").isEmpty()); // an ordinary name still works
}

QTEST_MAIN(TestReportDialogs)
#include "tst_reportdialogs.moc"
