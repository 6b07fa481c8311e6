// vantor-calc: the medical calculator from a shell, on the program's own windows.
//
//   vantor-calc --list
//   vantor-calc "Total Cholesterol-to-HDL Cholesterol Ratio" Gender=Male Chol=200
//               UnitChol=mg/dL HDL=50 UnitHDL=mg/dL

#include "CalcSession.h"

#include "calc/CalcWindows.h"
#include "platform/RecordingUi.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QJsonDocument>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

// The offscreen platform reports what it cannot do (raise a window, ...); a
// shell user wants only the answer and real failures.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << message << '\n';
}

int usage(QTextStream& err)
{
    err << "usage: vantor-calc --list\n"
           "       vantor-calc TITLE [Control=text ...]\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // Headless unless told otherwise: the windows are run, never shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help"_s || args.first() == u"-h"_s)
        return usage(err);
    if (args.first() == u"--list"_s) {
        for (const QString& line : vantor::calc::CalcSession::listing())
            out << line << '\n';
        return 0;
    }

    vantor::platform::RecordingUi recorder;
    vantor::platform::setUi(&recorder);
    vantor::calc::registerCalculatorWindows(vantor::widgets::windows());

    vantor::calc::CalcSession session(recorder);
    const QString title = args.takeFirst();
    const bool ok = session.run(title, args);
    if (ok)
        out << QJsonDocument(session.report()).toJson(QJsonDocument::Compact) << '\n';
    else
        err << "vantor-calc: " << session.error() << '\n';

    vantor::widgets::windows().closeAll();
    vantor::platform::setUi(nullptr);
    return ok ? 0 : 2;
}
