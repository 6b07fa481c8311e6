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

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(vantor::app::program::Title);
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setWindowIcon(vantor::app::programIcon());

    vantor::widgets::QtUi seam;
    vantor::platform::setUi(&seam);

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
