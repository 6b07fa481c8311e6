#include "ShellTestSupport.h"

#include "app/frmMain.h"
#include "platform/Error.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

using vantor::app::frmMain;
using vantor::platform::RecordingUi;
using vantor::widgets::WindowRegistry;
using vantor::widgets::windows;

namespace {

QStringList g_closed;

// Stands in for the data windows and dialogs that other parts of the program add.
class StandInWindow : public QWidget
{
public:
    explicit StandInWindow(const QString& caption)
    {
        setWindowTitle(caption);
        auto* layout = new QVBoxLayout(this);
        auto* grid = new QTableWidget(4, 3, this);
        grid->setHorizontalHeaderLabels(
            {QStringLiteral("Test"), QStringLiteral("Result"), QStringLiteral("Unit")});
        const char* rows[][3] = {{"Glucose", "5.4", "mmol/L"},
                                 {"Cholesterol", "4.9", "mmol/L"},
                                 {"HDL", "1.3", "mmol/L"},
                                 {"Creatinine", "81", "umol/L"}};
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c)
                grid->setItem(r, c, new QTableWidgetItem(QString::fromLatin1(rows[r][c])));
        }
        layout->addWidget(new QLabel(QStringLiteral("Record: 1 of 4"), this));
        layout->addWidget(grid);
        resize(360, 220);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        g_closed.append(objectName());
        event->accept();
    }
};

int px(double twips, qreal dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
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
    void closeWhileMinimizedKeepsPlacement();
    void menuBar_data();
    void menuBar();
    void commandsWithoutWindowAreDisabled();
    void secondCommandShowsOneWindow_data();
    void secondCommandShowsOneWindow();
    void closingMainClosesNewestFirst();
    void failedLoadIsReported();
    void statusBarShowsDateAndTime();
    void screenshotWithChildWindow();

private:
    frmMain* showMain();
    QAction* action(const QString& name) const;
    void registerStandIn(const QString& name, WindowRegistry::Kind kind, const QString& caption);

    RecordingUi m_ui;
    QStringList m_standIns;
    QPointer<frmMain> m_main;
};

void tst_frmMain::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    vantor::app::Module1::registerShellWindows();
}

void tst_frmMain::init()
{
    shelltest::clearSettings();
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
    m_main = qobject_cast<frmMain*>(windows().show(QStringLiteral("frmMain")));
    if (m_main)
        QTest::qWait(0); // let the window settle its frame
    return m_main;
}

QAction* tst_frmMain::action(const QString& name) const
{
    return m_main ? m_main->menuBar()->findChild<QAction*>(name) : nullptr;
}

void tst_frmMain::registerStandIn(const QString& name, WindowRegistry::Kind kind,
                                  const QString& caption)
{
    m_standIns.append(name);
    windows().registerWindow(name, kind, [caption] { return new StandInWindow(caption); });
}

void tst_frmMain::placementOnLoad_data()
{
    QTest::addColumn<QStringList>("saved"); // MainLeft, MainTop, MainWidth, MainHeight
    QTest::addColumn<QList<double>>("twips");

    QTest::newRow("first run") << QStringList() << QList<double>{1000, 1000, 6500, 6500};
    QTest::newRow("saved placement") << QStringList{QStringLiteral("1500"), QStringLiteral("750"),
                                                    QStringLiteral("9000"), QStringLiteral("7200")}
                                     << QList<double>{1500, 750, 9000, 7200};
    QTest::newRow("fractions") << QStringList{QStringLiteral("1507.5"), QStringLiteral("0"),
                                              QStringLiteral("8000.25"), QStringLiteral("6000")}
                               << QList<double>{1507.5, 0, 8000.25, 6000};
    QTest::newRow("unreadable values give the defaults")
        << QStringList{QStringLiteral("left"), QStringLiteral(""), QStringLiteral("-300"),
                       QStringLiteral("0")}
        << QList<double>{1000, 1000, 6500, 6500};
}

void tst_frmMain::placementOnLoad()
{
    QFETCH(QStringList, saved);
    QFETCH(QList<double>, twips);
    const QStringList keys{QStringLiteral("MainLeft"), QStringLiteral("MainTop"),
                           QStringLiteral("MainWidth"), QStringLiteral("MainHeight")};
    for (int i = 0; i < saved.size(); ++i)
        shelltest::writeSetting(keys.at(i), saved.at(i));

    frmMain* main = showMain();
    QVERIFY(main);
    const qreal dpiX = main->screen()->logicalDotsPerInchX();
    const qreal dpiY = main->screen()->logicalDotsPerInchY();
    const QRect outer = main->frameGeometry();
    QCOMPARE(outer.x(), px(twips.at(0), dpiX));
    QCOMPARE(outer.y(), px(twips.at(1), dpiY));
    QCOMPARE(outer.width(), px(twips.at(2), dpiX));
    QCOMPARE(outer.height(), px(twips.at(3), dpiY));
    QCOMPARE(main->windowTitle(), QStringLiteral("Quellmark"));
    QVERIFY(!main->findChild<QToolBar*>(QStringLiteral("tbToolBar"))->isVisible());
}

void tst_frmMain::closeSavesPlacement()
{
    frmMain* main = showMain();
    const qreal dpiX = main->screen()->logicalDotsPerInchX();
    const qreal dpiY = main->screen()->logicalDotsPerInchY();
    main->move(120, 90);
    main->resize(600, 480);
    QTRY_COMPARE(main->frameGeometry().topLeft(), QPoint(120, 90));
    const QRect outer = main->frameGeometry(); // what is saved includes the frame
    QVERIFY(main->close());

    auto twipsText = [](int pixels, qreal dpi) {
        return QString::number(std::round(pixels * 1440.0 / dpi));
    };
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainLeft")), twipsText(120, dpiX));
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainTop")), twipsText(90, dpiY));
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainWidth")), twipsText(outer.width(), dpiX));
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainHeight")), twipsText(outer.height(), dpiY));

    // The next run opens where this one ended, at the same outer size: the
    // window must not grow by its frame from run to run.
    QTRY_VERIFY(m_main.isNull());
    main = showMain();
    QTRY_COMPARE(main->frameGeometry(), outer);
}

void tst_frmMain::closeWhileMinimizedKeepsPlacement()
{
    shelltest::writeSetting(QStringLiteral("MainLeft"), QStringLiteral("2000"));
    shelltest::writeSetting(QStringLiteral("MainTop"), QStringLiteral("1800"));
    shelltest::writeSetting(QStringLiteral("MainWidth"), QStringLiteral("7000"));
    shelltest::writeSetting(QStringLiteral("MainHeight"), QStringLiteral("5000"));
    frmMain* main = showMain();
    main->showMinimized();
    QTRY_VERIFY(main->isMinimized());
    QVERIFY(main->close());
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainLeft")), QStringLiteral("2000"));
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainTop")), QStringLiteral("1800"));
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainWidth")), QStringLiteral("7000"));
    QCOMPARE(shelltest::readSetting(QStringLiteral("MainHeight")), QStringLiteral("5000"));
}

void tst_frmMain::menuBar_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("items"); // name=caption, in order

    auto s = [](const char* text) { return QString::fromUtf8(text); };
    QTest::newRow("Data") << s("mnuData") << s("&Data")
                          << QStringList{s("mnuDataBrowse=&Browse"), s("mnuDataEdit=&Edit"),
                                         s("mnuDataDelete=&Multi-Delete"), s("mnuDataBar0=-"),
                                         s("mnuDataExport=E&xport")};
    QTest::newRow("Lists") << s("mnuLists") << s("&Lists")
                           << QStringList{s("mnuListsPeriods=&Periods "),
                                          s("mnuListsTests=&Tests")};
    QTest::newRow("Overview") << s("mnuOverview") << s("&Overview")
                              << QStringList{s("mnuOverviewChart=&Chart"),
                                             s("mnuOverviewFilter=&Item"),
                                             s("mnuOverviewRemarks=&Remarks"),
                                             s("mnuOverviewStatistics=&Statistics"),
                                             s("mnuOverviewSummary=S&ummary")};
    QTest::newRow("Reports") << s("mnuReports") << s("&Reports")
                             << QStringList{s("mnuReportsResults=&Daily Results"),
                                            s("mnuReportsItem=&Single Item")};
    QTest::newRow("Utilities") << s("mnuUtilities") << s("&Utilities")
                               << QStringList{s("mnuUtilitiesCompact=&Compact Database"),
                                              s("mnuUtilitiesMedCalc=&Medical Calculator"),
                                              s("mnuUtilitiesConvert=&Unit Conversion")};
    QTest::newRow("Help") << s("mnuHelp") << s("Help")
                          << QStringList{s("mnuHelpAbout=&About the Program"),
                                         s("mnuHelpContents=&Help Contents")};
}

void tst_frmMain::menuBar()
{
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QStringList, items);

    frmMain* main = showMain();
    static const QStringList order{QStringLiteral("mnuData"),      QStringLiteral("mnuLists"),
                                   QStringLiteral("mnuOverview"),  QStringLiteral("mnuReports"),
                                   QStringLiteral("mnuUtilities"), QStringLiteral("mnuHelp")};
    const QList<QAction*> top = main->menuBar()->actions();
    QCOMPARE(top.size(), order.size());
    const qsizetype index = order.indexOf(menu);
    QCOMPARE(top.at(index)->objectName(), menu);
    QCOMPARE(top.at(index)->text(), caption);

    QStringList shown;
    for (QAction* item : top.at(index)->menu()->actions())
        shown.append(item->objectName() + QLatin1Char('=') +
                     (item->isSeparator() ? QStringLiteral("-") : item->text()));
    QCOMPARE(shown, items);
}

void tst_frmMain::commandsWithoutWindowAreDisabled()
{
    showMain();
    QVERIFY(!action(QStringLiteral("mnuDataBrowse"))->isEnabled());
    QVERIFY(!action(QStringLiteral("mnuUtilitiesMedCalc"))->isEnabled());
    QVERIFY(action(QStringLiteral("mnuUtilitiesCompact"))->isEnabled());
    QVERIFY(action(QStringLiteral("mnuHelpAbout"))->isEnabled());
    QVERIFY(action(QStringLiteral("mnuHelpContents"))->isEnabled());

    // A window registered while the program runs enables its command.
    registerStandIn(QStringLiteral("frmBrowse"), WindowRegistry::Kind::Child,
                    QStringLiteral("Browse Results"));
    QVERIFY(action(QStringLiteral("mnuDataBrowse"))->isEnabled());
    windows().unregisterWindow(QStringLiteral("frmBrowse"));
    QVERIFY(!action(QStringLiteral("mnuDataBrowse"))->isEnabled());
}

void tst_frmMain::secondCommandShowsOneWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("child");
    QTest::newRow("Browse") << QStringLiteral("mnuDataBrowse") << QStringLiteral("frmBrowse")
                            << true;
    QTest::newRow("Periods") << QStringLiteral("mnuListsPeriods") << QStringLiteral("frmPeriods")
                             << true;
    QTest::newRow("Multi-Delete") << QStringLiteral("mnuDataDelete") << QStringLiteral("frmDelete")
                                  << false;
    QTest::newRow("About") << QStringLiteral("mnuHelpAbout") << QStringLiteral("frmAbout") << false;
}

void tst_frmMain::secondCommandShowsOneWindow()
{
    QFETCH(QString, command);
    QFETCH(QString, window);
    QFETCH(bool, child);
    if (!windows().isRegistered(window)) {
        registerStandIn(window, child ? WindowRegistry::Kind::Child : WindowRegistry::Kind::Own,
                        window);
    }
    frmMain* main = showMain();
    action(command)->trigger();
    QWidget* first = windows().find(window);
    QVERIFY(first);
    action(command)->trigger();
    QCOMPARE(windows().find(window), first);
    QVERIFY(first->isVisible());
    if (child) {
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(main->mdiArea()->activeSubWindow()->widget(), first);
        QCOMPARE(shelltest::visibleTopLevels(window), 0);
    } else {
        QCOMPARE(shelltest::visibleTopLevels(window), 1);
        QVERIFY(main->mdiArea()->subWindowList().isEmpty());
    }
}

void tst_frmMain::closingMainClosesNewestFirst()
{
    registerStandIn(QStringLiteral("frmBrowse"), WindowRegistry::Kind::Child,
                    QStringLiteral("Browse Results"));
    registerStandIn(QStringLiteral("frmEdit"), WindowRegistry::Kind::Child,
                    QStringLiteral("Edit Data"));
    registerStandIn(QStringLiteral("frmDelete"), WindowRegistry::Kind::Own,
                    QStringLiteral("Multi Delete Records"));
    registerStandIn(QStringLiteral("dlgChart"), WindowRegistry::Kind::Own,
                    QStringLiteral("Results Chart"));
    frmMain* main = showMain();
    for (const char* command :
         {"mnuDataEdit", "mnuOverviewChart", "mnuDataBrowse", "mnuDataDelete", "mnuHelpAbout"})
        action(QString::fromLatin1(command))->trigger();
    // Bringing the first one forward again changes nothing in the order.
    action(QStringLiteral("mnuDataEdit"))->trigger();
    QCOMPARE(windows().loadOrder(),
             (QStringList{QStringLiteral("frmMain"), QStringLiteral("frmEdit"),
                          QStringLiteral("dlgChart"), QStringLiteral("frmBrowse"),
                          QStringLiteral("frmDelete"), QStringLiteral("frmAbout")}));
    QPointer<QWidget> about = windows().find(QStringLiteral("frmAbout"));

    QVERIFY(main->close());
    QCOMPARE(g_closed, (QStringList{QStringLiteral("frmDelete"), QStringLiteral("frmBrowse"),
                                    QStringLiteral("dlgChart"), QStringLiteral("frmEdit")}));
    QTRY_VERIFY(about.isNull()); // the About box went first of all
    QTRY_VERIFY(m_main.isNull());
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_frmMain::failedLoadIsReported()
{
    m_standIns.append(QStringLiteral("frmStats"));
    windows().registerWindow(QStringLiteral("frmStats"), WindowRegistry::Kind::Own,
                             []() -> QWidget* {
                                 throw vantor::Error(vantor::Error::FileNotFound,
                                                     QStringLiteral("Could not find the file."));
                             });
    frmMain* main = showMain();
    action(QStringLiteral("mnuOverviewStatistics"))->trigger();
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().text, QStringLiteral("Could not find the file."));
    QCOMPARE(m_ui.messages().first().icon, vantor::platform::Icon::Critical);
    QVERIFY(!windows().isLoaded(QStringLiteral("frmStats")));
    QVERIFY(main->isVisible()); // the program carries on
}

void tst_frmMain::statusBarShowsDateAndTime()
{
    frmMain* main = showMain();
    auto text = [main](const char* panel) {
        return main->statusBar()->findChild<QLabel*>(QString::fromLatin1(panel))->text();
    };
    QCOMPARE(main->statusBar()->objectName(), QStringLiteral("sbStatusBar"));
    QCOMPARE(text("pnlStatus"), QStringLiteral("Status"));
    QCOMPARE(text("pnlDate"), QStringLiteral("12/6/26"));
    QCOMPARE(text("pnlTime"), QStringLiteral("9:30 AM"));

    // The clock moves on past midnight: both panels follow.
    m_ui.setNow(QDateTime(QDate(2026, 12, 7), QTime(0, 1)));
    QTRY_COMPARE(text("pnlTime"), QStringLiteral("12:01 AM"));
    QCOMPARE(text("pnlDate"), QStringLiteral("12/7/26"));
}

void tst_frmMain::screenshotWithChildWindow()
{
    registerStandIn(QStringLiteral("frmBrowse"), WindowRegistry::Kind::Child,
                    QStringLiteral("Browse Results"));
    frmMain* main = showMain();
    main->resize(760, 520);
    action(QStringLiteral("mnuDataBrowse"))->trigger();
    QTest::qWait(50);
    shelltest::screenshot(main, QStringLiteral("frmMain"));
    QVERIFY(windows().find(QStringLiteral("frmBrowse"))->isVisible());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
