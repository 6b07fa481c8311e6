#include "frmMain.h"

#include "MainMenu.h"
#include "MainPlacement.h"
#include "MainStatusBar.h"
#include "ProgramIcon.h"
#include "ProgramInfo.h"
#include "widgets/WindowRegistry.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QTimer>
#include <QToolBar>

namespace vantor::app {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(program::MainCaption);
    setWindowIcon(programIcon());

    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    widgets::windows().setMdiArea(m_mdiArea);

    new MainMenu(this);

    // The layout has a tool bar, but the program never uses it.
    auto* toolBar = addToolBar(QString());
    toolBar->setObjectName(QStringLiteral("tbToolBar"));
    toolBar->hide();

    setStatusBar(new MainStatusBar(this));

    restorePlacement();
}

frmMain::~frmMain()
{
    // Every child window dies with the MDI area; none may open there after it.
    if (widgets::windows().mdiArea() == m_mdiArea)
        widgets::windows().setMdiArea(nullptr);
}

void frmMain::restorePlacement()
{
    const QRect outer = MainPlacement::load().toPixels(screen());
    move(outer.topLeft());
    resize(outer.size());
    m_outerSize = outer.size();
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_outerSizeFitted)
        QTimer::singleShot(0, this, &frmMain::fitOuterSize);
}

// The saved size includes the window frame, which is known only once the
// window is on the screen; without this the window would grow by its frame
// on every run.
void frmMain::fitOuterSize()
{
    m_outerSizeFitted = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame != QSize(0, 0) && frame.width() >= 0 && frame.height() >= 0 && !isMaximized())
        resize(m_outerSize - frame);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!isMinimized())
        MainPlacement::fromPixels(frameGeometry(), screen()).save();
    if (!widgets::windows().closeAll(this)) {
        // A window kept itself open (it asked the user); so does the program.
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace vantor::app
