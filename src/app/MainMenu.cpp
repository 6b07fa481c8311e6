#include "MainMenu.h"

#include "DatabaseCheck.h"
#include "DatabaseCommands.h"
#include "widgets/CommandGuard.h"
#include "widgets/WindowRegistry.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace vantor::app {

namespace {

struct Command
{
    QString name;
    QString caption;
    QString window; // empty for a separator or a routine
};

struct MenuDefinition
{
    QString name;
    QString caption;
    QList<Command> commands;
};

QList<MenuDefinition> menuDefinitions()
{
    auto s = [](const char16_t* text) { return QString::fromUtf16(text); };
    return {
        {s(u"mnuData"),
         s(u"&Data"),
         {{s(u"mnuDataBrowse"), s(u"&Browse"), s(u"frmBrowse")},
          {s(u"mnuDataEdit"), s(u"&Edit"), s(u"frmEdit")},
          {s(u"mnuDataDelete"), s(u"&Multi-Delete"), s(u"frmDelete")},
          {s(u"mnuDataBar0"), s(u"-"), {}},
          {s(u"mnuDataExport"), s(u"E&xport"), s(u"dlgExport")},
          {s(u"mnuDataImport"), s(u"&Import..."), s(u"dlgImport")}}},
        {s(u"mnuLists"),
         s(u"&Lists"),
         {{s(u"mnuListsPeriods"), s(u"&Periods "), s(u"frmPeriods")},
          {s(u"mnuListsTests"), s(u"&Tests"), s(u"frmTests")}}},
        {s(u"mnuOverview"),
         s(u"&Overview"),
         {{s(u"mnuOverviewChart"), s(u"&Chart"), s(u"dlgChart")},
          {s(u"mnuOverviewFilter"), s(u"&Item"), s(u"dlgList")},
          {s(u"mnuOverviewRemarks"), s(u"&Remarks"), s(u"frmRemarks")},
          {s(u"mnuOverviewStatistics"), s(u"&Statistics"), s(u"frmStats")},
          {s(u"mnuOverviewSummary"), s(u"S&ummary"), s(u"frmOverview")}}},
        {s(u"mnuReports"),
         s(u"&Reports"),
         {{s(u"mnuReportsResults"), s(u"&Daily Results"), s(u"dlgReport1")},
          {s(u"mnuReportsItem"), s(u"&Single Item"), s(u"dlgReport2")}}},
        {s(u"mnuUtilities"),
         s(u"&Utilities"),
         {{s(u"mnuUtilitiesCompact"), s(u"&Compact Database"), {}},
          {s(u"mnuUtilitiesBackup"), s(u"&Back Up Database..."), {}},
          {s(u"mnuUtilitiesMedCalc"), s(u"&Medical Calculator"), s(u"frmMedCalc")},
          {s(u"mnuUtilitiesConvert"), s(u"&Unit Conversion"), s(u"frmAgents")}}},
        {s(u"mnuHelp"),
         s(u"Help"),
         {{s(u"mnuHelpAbout"), s(u"&About the Program"), s(u"frmAbout")},
          {s(u"mnuHelpContents"), s(u"&Help Contents"), s(u"frmHelp")}}},
    };
}

} // namespace

MainMenu::MainMenu(QMainWindow* window) : QObject(window), m_bar(window->menuBar())
{
    for (const MenuDefinition& definition : menuDefinitions()) {
        QMenu* menu = m_bar->addMenu(definition.caption);
        menu->setObjectName(definition.name);
        menu->menuAction()->setObjectName(definition.name);
        for (const Command& command : definition.commands) {
            if (command.caption == u"-") {
                menu->addSeparator()->setObjectName(command.name);
            } else if (!command.window.isEmpty()) {
                addWindowCommand(menu, command.name, command.caption, command.window);
            } else {
                QAction* action = menu->addAction(command.caption);
                action->setObjectName(command.name);
                if (command.name == u"mnuUtilitiesBackup")
                    connect(action, &QAction::triggered, this, [] { BackupDB(); });
                else
                    connect(action, &QAction::triggered, this, [] { CompactDB(); });
            }
        }
    }
}

void MainMenu::addWindowCommand(QMenu* menu, const QString& name, const QString& caption,
                                const QString& windowName)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setData(windowName);
    connect(action, &QAction::triggered, this, [windowName] {
        if (!databaseForWindow(windowName))
            return;
        widgets::runCommand([&windowName] { widgets::windows().show(windowName); });
    });
}

} // namespace vantor::app
