#include "ProgramWindows.h"

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/DatabaseCheck.h"
#include "app/ProgramIcon.h"
#include "app/ProgramInfo.h"
#include "app/ProgramStart.h"
#include "platform/Ui.h"
#include "widgets/QtUi.h"

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

    vantor::registerAllWindows();

    vantor::app::Main();
    const int result = QApplication::exec();
    vantor::platform::setUi(nullptr);
    return result;
}
