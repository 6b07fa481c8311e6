#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/DatabaseCheck.h"
#include "app/Module1.h"
#include "app/ProgramIcon.h"
#include "app/ProgramInfo.h"
#include "calc/CalcWindows.h"
#include "convert/ConverterWindows.h"
#include "entry/EntryWindows.h"
#include "importer/ImportWindows.h"
#include "overview/ChartListWindows.h"
#include "overview/OverviewWindows.h"
#include "platform/Ui.h"
#include "report/ReportWindows.h"
#include "widgets/QtUi.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>

using vantor::app::CommandLine;

int main(int argc, char* argv[])
{
    // Named before anything asks where the per-user data folder is.
    QCoreApplication::setApplicationName(vantor::app::program::Title);
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));

    // --help and --version answer before the toolkit wants a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto early = CommandLine::parse(arguments, true);
        early.action != CommandLine::Action::Run)
        return early.answer();

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(VANTOR_APP_ID));
    QApplication::setWindowIcon(vantor::app::programIcon());
    // The toolkit has taken its own options out by now.
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (commandLine.action != CommandLine::Action::Run)
        return commandLine.answer();

    vantor::widgets::QtUi seam;
    vantor::platform::setUi(&seam);

    if (!vantor::app::enterDataFolder(commandLine.dataFolder))
        return 1;
    if (!vantor::app::ensureDatabase())
        return 1;

    // Every window the menus reach registers here; a menu command whose
    // window is not registered stays disabled.
    vantor::app::Module1::registerShellWindows();
    vantor::entry::registerEntryWindows();
    vantor::calc::registerCalculatorWindows(vantor::widgets::windows());
    vantor::overview::registerOverviewWindows();
    vantor::overview::registerChartAndListWindows();
    vantor::report::registerReportWindows();
    vantor::convert::registerConverterWindows();
    vantor::importer::registerImportWindows();

    vantor::app::Module1::Main();
    const int result = QApplication::exec();
    vantor::platform::setUi(nullptr);
    return result;
}
