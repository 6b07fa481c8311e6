#include "widgets/WindowRegistry.h"

#include "platform/RecordingUi.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
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
        if (!refuseClose)
            g_closed.append(objectName());
        event->setAccepted(!refuseClose);
    }
};

} // namespace

// The order in which closing the main window closes the others is tested
// with the main window itself.
class tst_WindowRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsOnceAndBringsForward();
    void refusedLoadShowsNothing();
    void closedWindowIsLoadedAfresh_data();
    void closedWindowIsLoadedAfresh();
    void closeAllStopsAtARefusal();
    void childOpensInsideTheArea_data();
    void childOpensInsideTheArea();

private:
    void add(const QString& name, WindowRegistry::Kind kind, QSize size = {});

    std::unique_ptr<QMainWindow> m_main;
    QMdiArea* m_area = nullptr;
    QHash<QString, int> m_loads;
};

void tst_WindowRegistry::add(const QString& name, WindowRegistry::Kind kind, QSize size)
{
    windows().registerWindow(name, kind, [this, name, size] {
        ++m_loads[name];
        auto* window = new TestWindow;
        if (size.isValid())
            window->resize(size);
        return window;
    });
}

void tst_WindowRegistry::init()
{
    g_closed.clear();
    m_loads.clear();
    m_main = std::make_unique<QMainWindow>();
    m_area = new QMdiArea(m_main.get());
    m_main->setCentralWidget(m_area);
    m_main->resize(800, 600);
    m_main->show();
    windows().setMdiArea(m_area);
    add(u"frmBrowse"_s, WindowRegistry::Kind::Child);
    add(u"frmEdit"_s, WindowRegistry::Kind::Child);
    add(u"frmDelete"_s, WindowRegistry::Kind::Own);
    add(u"frmDetails"_s, WindowRegistry::Kind::Child, QSize(420, 260));
}

void tst_WindowRegistry::cleanup()
{
    windows().closeAll();
    for (const QString& name : {u"frmBrowse"_s, u"frmEdit"_s, u"frmDelete"_s, u"frmDetails"_s,
                                u"frmRefuse"_s, u"frmChart"_s})
        windows().unregisterWindow(name);
    m_main.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    QVERIFY(windows().loadOrder().isEmpty());
}

void tst_WindowRegistry::loadsOnceAndBringsForward()
{
    QWidget* browse = windows().show(u"frmBrowse"_s);
    QWidget* edit = windows().show(u"frmEdit"_s);
    QWidget* own = windows().show(u"frmDelete"_s);
    QCOMPARE(browse->objectName(), u"frmBrowse"_s);
    QVERIFY(windows().isLoaded(u"frmBrowse"_s));
    QCOMPARE(m_area->activeSubWindow()->widget(), edit);
    QVERIFY(!browse->isWindow());
    QVERIFY(own->isWindow() && own->isVisible());

    // Asking again brings the loaded window forward; nothing loads twice.
    QCOMPARE(windows().show(u"frmBrowse"_s), browse);
    QCOMPARE(windows().show(u"frmDelete"_s), own);
    QCOMPARE(m_area->activeSubWindow()->widget(), browse);
    QCOMPARE(m_area->subWindowList().size(), 2);
    QCOMPARE(m_loads.value(u"frmBrowse"_s) + m_loads.value(u"frmDelete"_s), 2);
    QCOMPARE(windows().loadOrder(), (QStringList{u"frmBrowse"_s, u"frmEdit"_s, u"frmDelete"_s}));

    // A minimized window comes back; a child keeps the size it chose.
    own->showMinimized();
    QTRY_VERIFY(own->isMinimized());
    windows().show(u"frmDelete"_s);
    QTRY_VERIFY(!own->isMinimized());
    QWidget* details = windows().show(u"frmDetails"_s);
    QTRY_COMPARE(details->size(), QSize(420, 260));
}

void tst_WindowRegistry::refusedLoadShowsNothing()
{
    int calls = 0;
    // The hourglass shows while a window loads (it may read many rows), and
    // goes when the load is over, also a refused one.
    auto& ui = static_cast<vantor::platform::RecordingUi&>(vantor::platform::ui());
    int busyCalls = 0;
    windows().registerWindow(u"frmRefuse"_s, WindowRegistry::Kind::Own,
                             [&calls, &busyCalls, &ui]() -> QWidget* {
                                 ++calls;
                                 busyCalls += ui.isBusy() ? 1 : 0;
                                 return nullptr;
                             });
    QCOMPARE(windows().show(u"frmRefuse"_s), nullptr);
    QCOMPARE(windows().show(u"frmRefuse"_s), nullptr);
    QCOMPARE(calls, 2); // every command tries its load routine again
    QCOMPARE(busyCalls, 2);
    QVERIFY(!ui.isBusy());
    QVERIFY(!windows().isLoaded(u"frmRefuse"_s));
    QCOMPARE(windows().show(u"frmUnknown"_s), nullptr);
    QVERIFY(windows().loadOrder().isEmpty());
}

void tst_WindowRegistry::closedWindowIsLoadedAfresh_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("closeFrame"); // the frame's close box, or the window's own button
    QTest::newRow("child, close box") << u"frmBrowse"_s << true;
    QTest::newRow("child, own button") << u"frmBrowse"_s << false;
    QTest::newRow("own") << u"frmDelete"_s << false;
}

void tst_WindowRegistry::closedWindowIsLoadedAfresh()
{
    QFETCH(QString, name);
    QFETCH(bool, closeFrame);
    QPointer<QWidget> window = windows().show(name);
    QVERIFY(window);
    (closeFrame ? window->parentWidget() : window.data())->close();
    QTRY_VERIFY(window.isNull());
    QVERIFY(!windows().isLoaded(name));
    // No empty frame stays behind in the MDI area.
    QTRY_VERIFY(m_area->subWindowList().isEmpty());
    QVERIFY(windows().show(name));
    QCOMPARE(m_loads.value(name), 2);
}

void tst_WindowRegistry::closeAllStopsAtARefusal()
{
    windows().show(u"frmBrowse"_s);
    auto* edit = static_cast<TestWindow*>(windows().show(u"frmEdit"_s));
    windows().show(u"frmDelete"_s);
    edit->refuseClose = true;

    QVERIFY(!windows().closeAll());
    QCOMPARE(g_closed, QStringList{u"frmDelete"_s});
    QCOMPARE(windows().loadOrder(), (QStringList{u"frmBrowse"_s, u"frmEdit"_s}));
    edit->refuseClose = false;
}

QTEST_MAIN(tst_WindowRegistry)
// In a small main window a child opens inside the area: shrunk when it may
// be resized, at the top left (the area scrolling) when it is fixed and too
// big. A fixed window gets no maximize button.
void tst_WindowRegistry::childOpensInsideTheArea_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fixed");
    QTest::newRow("resizable, too big") << QSize(700, 500) << false;
    QTest::newRow("resizable, fits") << QSize(200, 150) << false;
    QTest::newRow("fixed, fits") << QSize(250, 180) << true;
    QTest::newRow("fixed, too big") << QSize(700, 500) << true;
}

void tst_WindowRegistry::childOpensInsideTheArea()
{
    QFETCH(QSize, size);
    QFETCH(bool, fixed);
    m_main->resize(420, 330);
    QTest::qWait(0);
    windows().show(u"frmBrowse"_s); // one window already there, placed first
    windows().registerWindow(u"frmChart"_s, WindowRegistry::Kind::Child, [size, fixed] {
        auto* window = new TestWindow;
        if (fixed)
            window->setFixedSize(size);
        else
            window->resize(size);
        return window;
    });
    QWidget* chart = windows().show(u"frmChart"_s);
    auto* frame = qobject_cast<QMdiSubWindow*>(chart->parentWidget());
    QVERIFY(frame);
    const QRect room(QPoint(0, 0), m_area->viewport()->size());
    QVERIFY(frame->x() >= 0 && frame->y() >= 0);
    const bool tooBig = fixed && size.width() > room.width();
    if (tooBig) {
        QCOMPARE(frame->pos(), QPoint(0, 0));
        QTRY_VERIFY(m_area->horizontalScrollBar()->maximum() > 0);
    } else {
        QVERIFY(room.contains(frame->geometry()));
    }
    QCOMPARE(bool(frame->windowFlags() & Qt::WindowMaximizeButtonHint), !fixed);
    QCOMPARE(chart->size() == size, fixed || room.contains(QRect(QPoint(0, 0), size)));
}

#include "tst_windowregistry.moc"
