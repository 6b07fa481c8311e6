#include "ShellTestSupport.h"

#include "app/frmMain.h"
#include "platform/Error.h"
#include "store/Database.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>

using namespace Qt::Literals::StringLiterals;
using vantor::app::frmMain;
using vantor::widgets::WindowRegistry;
using vantor::widgets::windows;

namespace {

QStringList g_closed;

// Stands in for the windows that other parts of the program add.
class StandInWindow : public QWidget
{
protected:
    void closeEvent(QCloseEvent* event) override
    {
        g_closed.append(objectName());
        event->accept();
    }
};

const QStringList placementKeys = {u"MainLeft"_s, u"MainTop"_s, u"MainWidth"_s, u"MainHeight"_s};

void writePlacement(const QStringList& values)
{
    for (int i = 0; i < values.size(); ++i)
        shelltest::settings()->setValue(placementKeys.at(i), values.at(i));
}

QStringList readPlacement()
{
    QStringList values;
    for (const QString& key : placementKeys)
        values << shelltest::settings()->value(key).toString();
    return values;
}

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void placementOnLoad_data();
    void placementOnLoad();
    void closeSavesPlacement();
    void menuBar();
    void commandsShowOneWindowEach();
    void failedLoadIsReported();
    void statusBarShowsDateAndTime();
    void backUpFromTheMenu();

private:
    frmMain* showMain();
    QAction* action(const QString& name) const;
    void registerStandIn(const QString& name, WindowRegistry::Kind kind);

    vantor::platform::RecordingUi m_ui;
    QStringList m_standIns;
    QPointer<frmMain> m_main;
};

void tst_frmMain::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    vantor::app::registerShellWindows();
}

void tst_frmMain::init()
{
    shelltest::settings()->clear();
    m_ui.clear();
    m_ui.setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 30)));
    g_closed.clear();
}

void tst_frmMain::cleanup()
{
    QVERIFY(shelltest::closeEverything());
    for (const QString& name : std::as_const(m_standIns))
        windows().unregisterWindow(name);
    m_standIns.clear();
    QVERIFY(windows().loadOrder().isEmpty());
}

frmMain* tst_frmMain::showMain()
{
    m_main = qobject_cast<frmMain*>(windows().show(u"frmMain"_s));
    if (m_main)
        QTest::qWait(0); // let the window settle its frame
    return m_main;
}

QAction* tst_frmMain::action(const QString& name) const
{
    return m_main ? m_main->menuBar()->findChild<QAction*>(name) : nullptr;
}

void tst_frmMain::registerStandIn(const QString& name, WindowRegistry::Kind kind)
{
    m_standIns.append(name);
    windows().registerWindow(name, kind, [] { return new StandInWindow; });
}

void tst_frmMain::placementOnLoad_data()
{
    QTest::addColumn<QStringList>("saved"); // MainLeft, MainTop, MainWidth, MainHeight
    QTest::addColumn<QList<double>>("twips");

    QTest::newRow("first run") << QStringList() << QList<double>{1000, 1000, 6500, 6500};
    QTest::newRow("saved") << QStringList{u"1500"_s, u"750"_s, u"9000"_s, u"7200"_s}
                           << QList<double>{1500, 750, 9000, 7200};
    QTest::newRow("fractions") << QStringList{u"1507.5"_s, u"0"_s, u"8000.25"_s, u"6000"_s}
                               << QList<double>{1507.5, 0, 8000.25, 6000};
    QTest::newRow("unreadable values give the defaults")
        << QStringList{u"left"_s, u""_s, u"-300"_s, u"0"_s}
        << QList<double>{1000, 1000, 6500, 6500};
}

void tst_frmMain::placementOnLoad()
{
    QFETCH(QStringList, saved);
    QFETCH(QList<double>, twips);
    writePlacement(saved);

    frmMain* main = showMain();
    QVERIFY(main);
    const qreal dpiX = main->screen()->logicalDotsPerInchX();
    const qreal dpiY = main->screen()->logicalDotsPerInchY();
    const auto px = [](double value, qreal dpi) { return int(std::lround(value * dpi / 1440.0)); };
    QCOMPARE(main->frameGeometry(),
             QRect(px(twips[0], dpiX), px(twips[1], dpiY), px(twips[2], dpiX), px(twips[3], dpiY)));
    QCOMPARE(main->windowTitle(), u"Quellmark"_s);
    QVERIFY(!main->findChild<QToolBar*>(u"tbToolBar"_s)->isVisible());
}

void tst_frmMain::closeSavesPlacement()
{
    // Closed while minimized, the window leaves the saved placement alone.
    const QStringList saved = {u"2000"_s, u"1800"_s, u"7000"_s, u"5000"_s};
    writePlacement(saved);
    showMain()->showMinimized();
    QTRY_VERIFY(m_main->isMinimized());
    QVERIFY(m_main->close());
    QCOMPARE(readPlacement(), saved);

    QTRY_VERIFY(m_main.isNull());
    frmMain* main = showMain();
    const qreal dpiX = main->screen()->logicalDotsPerInchX();
    const qreal dpiY = main->screen()->logicalDotsPerInchY();
    main->move(120, 90);
    main->resize(600, 480);
    QTRY_COMPARE(main->frameGeometry().topLeft(), QPoint(120, 90));
    const QRect outer = main->frameGeometry(); // what is saved includes the frame
    QVERIFY(main->close());
    const auto twips = [](int pixels, qreal dpi) {
        return QString::number(std::round(pixels * 1440.0 / dpi));
    };
    QCOMPARE(readPlacement(),
             (QStringList{twips(120, dpiX), twips(90, dpiY), twips(outer.width(), dpiX),
                          twips(outer.height(), dpiY)}));

    // The next run opens where this one ended, at the same outer size: the
    // window must not grow by its frame from run to run.
    QTRY_VERIFY(m_main.isNull());
    QTRY_COMPARE(showMain()->frameGeometry(), outer);
}

void tst_frmMain::menuBar()
{
    // Each menu as "name=caption: item, item, ...", in order; "-" a separator.
    QStringList shown;
    for (QAction* menu : showMain()->menuBar()->actions()) {
        QStringList items;
        for (QAction* item : menu->menu()->actions())
            items << item->objectName() + u'=' + (item->isSeparator() ? u"-"_s : item->text());
        shown << menu->objectName() + u'=' + menu->text() + u": "_s + items.join(u", "_s);
    }
    QCOMPARE(shown,
             (QStringList{
                 u"mnuData=&Data: mnuDataBrowse=&Browse, mnuDataEdit=&Edit, "
                 u"mnuDataDelete=&Multi-Delete, mnuDataBar0=-, mnuDataExport=E&xport, "
                 u"mnuDataImport=&Import..."_s,
                 u"mnuLists=&Lists: mnuListsPeriods=&Periods , mnuListsTests=&Tests"_s,
                 u"mnuOverview=&Overview: mnuOverviewChart=&Chart, mnuOverviewFilter=&Item, "
                 u"mnuOverviewRemarks=&Remarks, mnuOverviewStatistics=&Statistics, "
                 u"mnuOverviewSummary=S&ummary"_s,
                 u"mnuReports=&Reports: mnuReportsResults=&Daily Results, "
                 u"mnuReportsItem=&Single Item"_s,
                 u"mnuUtilities=&Utilities: mnuUtilitiesCompact=&Compact Database, "
                 u"mnuUtilitiesBackup=&Back Up Database..., "
                 u"mnuUtilitiesMedCalc=&Medical Calculator, mnuUtilitiesConvert=&Unit Conversion"_s,
                 u"mnuHelp=Help: mnuHelpAbout=&About the Program, mnuHelpContents=&Help Contents"_s,
             }));
}

void tst_frmMain::commandsShowOneWindowEach()
{
    registerStandIn(u"frmBrowse"_s, WindowRegistry::Kind::Child);
    registerStandIn(u"frmEdit"_s, WindowRegistry::Kind::Child);
    registerStandIn(u"frmDelete"_s, WindowRegistry::Kind::Own);
    registerStandIn(u"dlgChart"_s, WindowRegistry::Kind::Own);
    frmMain* main = showMain();
    for (const QString& command : {u"mnuDataEdit"_s, u"mnuOverviewChart"_s, u"mnuDataBrowse"_s,
                                   u"mnuDataDelete"_s, u"mnuHelpAbout"_s})
        action(command)->trigger();
    // A second command brings its window forward and loads nothing: the
    // load order stays, and so do the two child frames.
    action(u"mnuDataEdit"_s)->trigger();
    action(u"mnuHelpAbout"_s)->trigger();
    QCOMPARE(windows().loadOrder(), (QStringList{u"frmMain"_s, u"frmEdit"_s, u"dlgChart"_s,
                                                 u"frmBrowse"_s, u"frmDelete"_s, u"frmAbout"_s}));
    QCOMPARE(main->mdiArea()->subWindowList().size(), 2);
    QCOMPARE(main->mdiArea()->activeSubWindow()->widget(), windows().find(u"frmEdit"_s));
    QCOMPARE(shelltest::visibleTopLevels(u"frmAbout"_s), 1);

    // Closing the main window closes the others first, newest first.
    QPointer<QWidget> about = windows().find(u"frmAbout"_s);
    QVERIFY(main->close());
    QCOMPARE(g_closed, (QStringList{u"frmDelete"_s, u"frmBrowse"_s, u"dlgChart"_s, u"frmEdit"_s}));
    QTRY_VERIFY(about.isNull()); // the About box went first of all
    QTRY_VERIFY(m_main.isNull());
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_frmMain::failedLoadIsReported()
{
    m_standIns.append(u"frmStats"_s);
    windows().registerWindow(u"frmStats"_s, WindowRegistry::Kind::Own, []() -> QWidget* {
        throw vantor::Error(vantor::Error::FileNotFound, u"Could not find the file."_s);
    });
    frmMain* main = showMain();
    action(u"mnuOverviewStatistics"_s)->trigger();
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().text, u"Could not find the file."_s);
    QCOMPARE(m_ui.messages().first().icon, vantor::platform::Icon::Critical);
    QVERIFY(!windows().isLoaded(u"frmStats"_s));
    QVERIFY(main->isVisible()); // the program carries on
}

void tst_frmMain::statusBarShowsDateAndTime()
{
    frmMain* main = showMain();
    const auto text = [main](const QString& panel) {
        return main->statusBar()->findChild<QLabel*>(panel)->text();
    };
    QCOMPARE(main->statusBar()->objectName(), u"sbStatusBar"_s);
    QCOMPARE(text(u"pnlStatus"_s), u"Status"_s);
    QCOMPARE(text(u"pnlDate"_s), u"12/6/26"_s);
    QCOMPARE(text(u"pnlTime"_s), u"9:30 AM"_s);

    // The clock moves on past midnight: both panels follow.
    m_ui.setNow(QDateTime(QDate(2026, 12, 7), QTime(0, 1)));
    QTRY_COMPARE(text(u"pnlTime"_s), u"12:01 AM"_s);
    QCOMPARE(text(u"pnlDate"_s), u"12/7/26"_s);
}

// Utilities, Back Up Database, chosen with the keyboard as a user would.
void tst_frmMain::backUpFromTheMenu()
{
    QFile::remove(u"vantor.mdb"_s);
    QFile::remove(u"copy.mdb"_s);
    vantor::store::createDemoDatabase(u"vantor.mdb"_s);
    frmMain* main = showMain();
    QVERIFY(main);
    main->activateWindow();
    QTest::keyClick(main, Qt::Key_U, Qt::AltModifier);
    auto* menu = main->menuBar()->findChild<QMenu*>(u"mnuUtilities"_s);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(menu->grab().save(u"mnuUtilities.png"_s));
    m_ui.pushFileName(QDir::current().absoluteFilePath(u"copy.mdb"_s));
    QTest::keyClick(menu, Qt::Key_B);
    QTRY_COMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().title, u"Back Up Database"_s);
    QCOMPARE(m_ui.messages().first().icon, vantor::platform::Icon::Information);
    QVERIFY(vantor::store::checkDatabase(u"copy.mdb"_s).isEmpty());
    QFile::remove(u"copy.mdb"_s);
    QFile::remove(u"vantor.mdb"_s);
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
