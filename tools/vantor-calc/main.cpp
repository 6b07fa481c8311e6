// vantor-calc: the medical calculator from a shell, on the program's own windows.
//
//   vantor-calc --list
//   vantor-calc "Total Cholesterol-to-HDL Cholesterol Ratio" Gender=Male Chol=200
//               UnitChol=mg/dL HDL=50 UnitHDL=mg/dL

#include "CalcSession.h"

#include "calc/CalcWindows.h"
#include "platform/RecordingUi.h"
#include "vantor/Version.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QTextStream>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

// The offscreen platform reports what it cannot do (raise a window, ...); a
// shell user wants only the answer and real failures.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << message << '\n';
}

enum ExitCode { Ok = 0, Usage = 2 };

const char UsageText[] = "usage: vantor-calc --list\n"
                         "       vantor-calc TITLE [Control=text ...]\n"
                         "       vantor-calc --help | --version\n"
                         "\n"
                         "Runs one calculation on the calculator's windows, headless, and prints\n"
                         "what they show as JSON.\n"
                         "Exit status: 0 done, 2 unknown calculator or input.\n";

// --help, --version, --list and wrong arguments are answered here, with the
// exit code; otherwise args receives the title and its Control=text pairs.
std::optional<int> answerOptions(QTextStream& out, QTextStream& err, QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption list(u"list"_s);
    parser.addOption(list);
    // Control=text pairs follow the title; none of them is an option.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help)) {
        out << UsageText;
        return Ok;
    }
    if (parser.isSet(version)) {
        out << "vantor-calc " << VANTOR_VERSION << '\n';
        return Ok;
    }
    if (!parsed) {
        QString problem = parser.errorText();
        if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
            problem = u"unknown option "_s + (unknown.first().size() == 1 ? u"-"_s : u"--"_s) +
                      unknown.first();
        err << "vantor-calc: " << problem << "\n\n" << UsageText;
        return Usage;
    }
    args = parser.positionalArguments();
    if (parser.isSet(list)) {
        for (const QString& line : vantor::calc::CalcSession::listing())
            out << line << '\n';
        return Ok;
    }
    if (args.isEmpty()) {
        err << UsageText;
        return Usage;
    }
    return std::nullopt;
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

    QStringList args;
    if (const std::optional<int> answered = answerOptions(out, err, args))
        return *answered;

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
    return ok ? Ok : Usage;
}
