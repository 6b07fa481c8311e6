#include "CommandLine.h"

#include "vantor/Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

namespace vantor::app {

CommandLine CommandLine::parse(const QStringList& arguments, bool lenient)
{
    QCommandLineParser parser;
    // The toolkit's own options (-platform, -reverse) are words, never bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption data(QStringLiteral("data"), {}, QStringLiteral("DIR"));
    parser.addOptions({help, version, data});
    const bool parsed = parser.parse(QStringList{QStringLiteral("vantor")} + arguments);

    CommandLine result;
    result.dataFolder = parser.value(data);
    auto refuse = [&result](const QString& text) {
        result.action = Action::Usage;
        result.problem = text;
        return result;
    };
    if (parser.isSet(help))
        result.action = Action::Help;
    else if (parser.isSet(version))
        result.action = Action::Version;
    // Leniently, only what is surely wrong for this program counts.
    else if ((parser.isSet(data) && result.dataFolder.isEmpty()) ||
             (!parsed && arguments.endsWith(QStringLiteral("--data"))))
        return refuse(QStringLiteral("--data needs a folder."));
    else if (lenient)
        return result;
    else if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
        return refuse(
            QStringLiteral("unknown option %1%2.")
                .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                     unknown.first()));
    else if (!parsed)
        return refuse(parser.errorText());
    else if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected argument \"%1\".")
                          .arg(parser.positionalArguments().first()));
    return result;
}

QString CommandLine::helpText()
{
    static const char Text[] =
        "Usage: vantor [--data DIR]\n"
        "\n"
        "Keeps the results of your medical laboratory tests in the database file\n"
        "vantor.mdb. A vantor.mdb in the folder Vantor is started from is used;\n"
        "otherwise the one in your data folder (%1).\n"
        "\n"
        "  --data DIR     keep the database in DIR instead\n"
        "  -h, --help     show this help and end\n"
        "  -v, --version  show the version and end\n"
        "\n"
        "vantor-db makes and checks databases from the command line, vantor-calc runs\n"
        "the medical calculator.\n"
        "Exit status: 0 done, 1 failed, 2 wrong arguments.\n";
    return QString::fromLatin1(Text).arg(QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
}

QString CommandLine::versionText(const QString& program)
{
    return program + QStringLiteral(" ") + QStringLiteral(VANTOR_VERSION) + u'\n';
}

int CommandLine::answer() const
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (action) {
    case Action::Help:
        out << helpText();
        return Success;
    case Action::Version:
        out << versionText(QStringLiteral("vantor"));
        return Success;
    case Action::Usage:
        err << "vantor: " << problem << "\nTry \"vantor --help\".\n";
        return UsageError;
    case Action::Run:
        break;
    }
    return Success;
}

} // namespace vantor::app
