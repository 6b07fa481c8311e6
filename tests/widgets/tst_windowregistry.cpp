#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using vantor::widgets::WindowRegistry;
using vantor::widgets::windows;

namespace {

QStringList g_closed; // window names in the order their close events came

class TestWindow : public QWidget
{
public:
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (refuseClose) {
            event->ignore();
            return;
        }
        g_closed.append(objectName());
        event->accept();
    }
};

} // namespace

class tst_WindowRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsOnceAndBringsForward_data();
    void loadsOnceAndBringsForward();
    void childWindowsLiveInTheMdiArea();
    void childKeepsTheSizeItChose();
    void refusedLoadShowsNothing();
    void closedWindowIsLoadedAfresh_data();
    void closedWindowIsLoadedAfresh();
    void closeAllClosesNewestFirst();
    void closeAllStopsAtARefusal();
    void minimizedWindowIsRestored();

private:
    void add(const QString& name, WindowRegistry::Kind kind);

    QMainWindow* m_main = nullptr;
    QMdiArea* m_area = nullptr;
    QHash<QString, int> m_loads;
    QStringList m_names;
};

void tst_WindowRegistry::add(const QString& name, WindowRegistry::Kind kind)
{
    m_names.append(name);
    windows().registerWindow(name, kind, [this, name] {
        ++m_loads[name];
        return new TestWindow;
    });
}

void tst_WindowRegistry::init()
{
    g_closed.clear();
    m_loads.clear();
    m_main = new QMainWindow;
    m_area = new QMdiArea(m_main);
    m_main->setCentralWidget(m_area);
    m_main->resize(800, 600);
    m_main->show();
    windows().setMdiArea(m_area);
    add(QStringLiteral("frmBrowse"), WindowRegistry::Kind::Child);
    add(QStringLiteral("frmEdit"), WindowRegistry::Kind::Child);
    add(QStringLiteral("frmDelete"), WindowRegistry::Kind::Own);
    add(QStringLiteral("dlgExport"), WindowRegistry::Kind::Own);
}

void tst_WindowRegistry::cleanup()
{
    windows().closeAll();
    for (const QString& name : std::as_const(m_names))
        windows().unregisterWindow(name);
    m_names.clear();
    delete m_main;
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    QVERIFY(windows().loadOrder().isEmpty());
}

void tst_WindowRegistry::loadsOnceAndBringsForward_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("child") << QStringLiteral("frmBrowse");
    QTest::newRow("own") << QStringLiteral("frmDelete");
}

void tst_WindowRegistry::loadsOnceAndBringsForward()
{
    QFETCH(QString, name);
    QWidget* first = windows().show(name);
    QVERIFY(first);
    QCOMPARE(first->objectName(), name);
    QWidget* second = windows().show(name);
    QCOMPARE(second, first);
    QCOMPARE(m_loads.value(name), 1);
    QCOMPARE(windows().loadOrder(), QStringList{name});
    QVERIFY(first->isVisible());
    QVERIFY(windows().isLoaded(name));
}

void tst_WindowRegistry::childWindowsLiveInTheMdiArea()
{
    QWidget* browse = windows().show(QStringLiteral("frmBrowse"));
    QWidget* edit = windows().show(QStringLiteral("frmEdit"));
    QWidget* own = windows().show(QStringLiteral("frmDelete"));
    QCOMPARE(m_area->subWindowList().size(), 2);
    QCOMPARE(m_area->activeSubWindow()->widget(), edit);
    QVERIFY(!browse->isWindow());
    QVERIFY(own->isWindow());

    // Asking again for the older child brings it to the front.
    windows().show(QStringLiteral("frmBrowse"));
    QCOMPARE(m_area->activeSubWindow()->widget(), browse);
    QCOMPARE(m_area->subWindowList().size(), 2);
}

void tst_WindowRegistry::childKeepsTheSizeItChose()
{
    m_names.append(QStringLiteral("frmDetails"));
    windows().registerWindow(QStringLiteral("frmDetails"), WindowRegistry::Kind::Child, [] {
        auto* window = new TestWindow;
        window->resize(420, 260);
        return window;
    });
    QWidget* details = windows().show(QStringLiteral("frmDetails"));
    QTRY_COMPARE(details->size(), QSize(420, 260));
}

void tst_WindowRegistry::refusedLoadShowsNothing()
{
    int calls = 0;
    m_names.append(QStringLiteral("frmRefuse"));
    windows().registerWindow(QStringLiteral("frmRefuse"), WindowRegistry::Kind::Own,
                             [&calls]() -> QWidget* {
                                 ++calls;
                                 return nullptr;
                             });
    QCOMPARE(windows().show(QStringLiteral("frmRefuse")), nullptr);
    QCOMPARE(windows().show(QStringLiteral("frmRefuse")), nullptr);
    QCOMPARE(calls, 2); // every command tries its load routine again
    QVERIFY(!windows().isLoaded(QStringLiteral("frmRefuse")));
    QCOMPARE(windows().show(QStringLiteral("frmUnknown")), nullptr);
    QVERIFY(windows().loadOrder().isEmpty());
}

void tst_WindowRegistry::closedWindowIsLoadedAfresh_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("closeFrame"); // the frame's close box, or the window's own button
    QTest::newRow("child, close box") << QStringLiteral("frmBrowse") << true;
    QTest::newRow("child, own button") << QStringLiteral("frmBrowse") << false;
    QTest::newRow("own") << QStringLiteral("frmDelete") << false;
}

void tst_WindowRegistry::closedWindowIsLoadedAfresh()
{
    QFETCH(QString, name);
    QFETCH(bool, closeFrame);
    QPointer<QWidget> window = windows().show(name);
    QVERIFY(window);
    if (closeFrame)
        window->parentWidget()->close();
    else
        window->close();
    QTRY_VERIFY(window.isNull());
    QVERIFY(!windows().isLoaded(name));
    // No empty frame stays behind in the MDI area.
    QTRY_VERIFY(m_area->subWindowList().isEmpty());

    QWidget* again = windows().show(name);
    QVERIFY(again);
    QCOMPARE(m_loads.value(name), 2);
}

void tst_WindowRegistry::closeAllClosesNewestFirst()
{
    const QStringList order{QStringLiteral("frmEdit"), QStringLiteral("frmDelete"),
                            QStringLiteral("frmBrowse"), QStringLiteral("dlgExport")};
    for (const QString& name : order)
        windows().show(name);
    // Bringing an old window forward does not change the load order.
    windows().show(QStringLiteral("frmEdit"));
    QCOMPARE(windows().loadOrder(), order);

    QVERIFY(windows().closeAll());
    QCOMPARE(g_closed, (QStringList{QStringLiteral("dlgExport"), QStringLiteral("frmBrowse"),
                                    QStringLiteral("frmDelete"), QStringLiteral("frmEdit")}));
    QVERIFY(windows().loadOrder().isEmpty());
}

void tst_WindowRegistry::closeAllStopsAtARefusal()
{
    windows().show(QStringLiteral("frmBrowse"));
    auto* edit = static_cast<TestWindow*>(windows().show(QStringLiteral("frmEdit")));
    windows().show(QStringLiteral("frmDelete"));
    edit->refuseClose = true;

    QVERIFY(!windows().closeAll());
    QCOMPARE(g_closed, QStringList{QStringLiteral("frmDelete")});
    QCOMPARE(windows().loadOrder(),
             (QStringList{QStringLiteral("frmBrowse"), QStringLiteral("frmEdit")}));
    edit->refuseClose = false;
}

void tst_WindowRegistry::minimizedWindowIsRestored()
{
    QWidget* own = windows().show(QStringLiteral("frmDelete"));
    own->showMinimized();
    QTRY_VERIFY(own->isMinimized());
    windows().show(QStringLiteral("frmDelete"));
    QTRY_VERIFY(!own->isMinimized());
    QVERIFY(own->isVisible());
}

QTEST_MAIN(tst_WindowRegistry)
#include "tst_windowregistry.moc"
