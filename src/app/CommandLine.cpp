#include "CommandLine.h"

#include "vantor/Version.h"

#include <QDir>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

namespace vantor::app {

CommandLine CommandLine::parse(const QStringList& arguments, bool lenient)
{
    CommandLine result;
    // Leniently, only what is surely wrong for this program counts.
    auto refuse = [&result](const QString& problem, bool count) {
        if (count) {
            result.action = Action::Usage;
            result.problem = problem;
        }
        return count;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h") {
            result.action = Action::Help;
            return result;
        }
        if (argument == u"--version" || argument == u"-v") {
            result.action = Action::Version;
            return result;
        }
        if (argument == u"--data" || argument.startsWith(u"--data=")) {
            const qsizetype equals = argument.indexOf(u'=');
            const QString folder = equals >= 0                ? argument.mid(equals + 1)
                                   : i + 1 < arguments.size() ? arguments[++i]
                                                              : QString();
            if (folder.isEmpty() && refuse(QStringLiteral("--data needs a folder."), true))
                return result;
            result.dataFolder = folder;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            if (refuse(QStringLiteral("unknown option %1.").arg(argument), !lenient))
                return result;
        } else if (refuse(QStringLiteral("unexpected argument \"%1\".").arg(argument), !lenient)) {
            return result;
        }
    }
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
