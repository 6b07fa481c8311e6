// vantor-db: makes, checks and queries results databases from the command line.

#include "ImportCommand.h"
#include "ParserProblem.h"
#include "QueryCommand.h"
#include "platform/Error.h"
#include "store/Database.h"
#include "store/Migration.h"
#include "vantor/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <exception>
#include <new>
#include <optional>

using namespace vantor;

namespace {

enum ExitCode { Ok = 0, Failure = 1, Usage = 2 };

const char UsageText[] =
    "Usage: vantor-db COMMAND ...\n"
    "\n"
    "  create FILE                  make an empty results database\n"
    "  demo FILE [--seed S]         make a database with three years of demo results\n"
    "  check FILE                   check a database; exits with 0 only when all is well\n"
    "  generate FILE --values N [--seed S]\n"
    "                               make a large database of N values, for measurements\n"
    "  query [--json] FILE TEXT     run one SQL text of the program's dialect and print\n"
    "                               its rows (tab-separated, or JSON with --json)\n"
    "  import FILE DATA [options]   read results from a text file into a database\n"
    "                               (vantor-db import --help)\n"
    "  --help, --version            this text, or the version\n"
    "\n"
    "A new database is never written over an existing file.\n"
    "Exit status: 0 done, 1 failed, 2 wrong arguments.\n";

struct Arguments
{
    QString command;
    QStringList positional;
    bool json = false;
    std::optional<qint64> values;
    std::optional<unsigned> seed;
};

// Returns the message for a usage error, empty when the arguments are fine.
QString parse(QCommandLineParser& parser, Arguments& parsed)
{
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption values(QStringLiteral("values"), {}, QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), {}, QStringLiteral("S"));
    parser.addOptions({json, values, seed});
    if (!parser.parse(QCoreApplication::arguments()))
        return tools::usageProblem(parser);

    bool ok = false;
    if (parser.isSet(values)) {
        const qint64 number = parser.value(values).toLongLong(&ok);
        if (!ok || number < 0)
            return QStringLiteral("--values needs a whole number of 0 or more, not \"%1\".")
                .arg(parser.value(values));
        parsed.values = number;
    }
    if (parser.isSet(seed)) {
        const qint64 number = parser.value(seed).toLongLong(&ok);
        if (!ok || number < 0 || number > 0xFFFFFFFFLL)
            return QStringLiteral("--seed needs a whole number from 0 to 4294967295, not \"%1\".")
                .arg(parser.value(seed));
        parsed.seed = unsigned(number);
    }
    parsed.json = parser.isSet(json);
    parsed.positional = parser.positionalArguments();
    if (!parsed.positional.isEmpty())
        parsed.command = parsed.positional.takeFirst();

    const QString& c = parsed.command;
    const qsizetype wanted = c == QLatin1String("query") ? 2 : 1;
    if (c.isEmpty())
        return QStringLiteral("No command given.");
    if (c != QLatin1String("create") && c != QLatin1String("demo") && c != QLatin1String("check") &&
        c != QLatin1String("generate") && c != QLatin1String("query"))
        return QStringLiteral("Unknown command \"%1\".").arg(c);
    if (parsed.positional.size() != wanted)
        return QStringLiteral("\"%1\" takes %2.")
            .arg(c, wanted == 2 ? QStringLiteral("a file and an SQL text")
                                : QStringLiteral("one file name"));
    if (parsed.json && c != QLatin1String("query"))
        return QStringLiteral("--json belongs to the query command.");
    if (parsed.values.has_value() != (c == QLatin1String("generate")))
        return c == QLatin1String("generate")
                   ? QStringLiteral("generate needs --values N.")
                   : QStringLiteral("--values belongs to the generate command.");
    if (parsed.seed && c != QLatin1String("demo") && c != QLatin1String("generate"))
        return QStringLiteral("--seed belongs to the demo and generate commands.");
    return {};
}

int run(const Arguments& args, QTextStream& out)
{
    const QString& file = args.positional.first();
    const QString shown = QDir::toNativeSeparators(file);
    if (args.command == QLatin1String("create")) {
        store::createDatabase(file);
        out << "Created " << shown << ".\n";
    } else if (args.command == QLatin1String("demo")) {
        store::DemoOptions options;
        if (args.seed)
            options.seed = *args.seed;
        store::createDemoDatabase(file, options);
        out << "Created " << shown << " with demo results.\n";
    } else if (args.command == QLatin1String("generate")) {
        QElapsedTimer timer;
        timer.start();
        store::createLargeDatabase(file, *args.values, args.seed.value_or(1));
        out << "Created " << shown << " with " << *args.values << " values in "
            << QString::number(double(timer.elapsed()) / 1000.0, 'f', 2) << " s.\n";
    } else if (args.command == QLatin1String("check")) {
        const QStringList problems = store::checkDatabase(file);
        for (const QString& problem : problems)
            out << problem << '\n';
        if (!problems.isEmpty())
            return Failure;
        out << shown << ": no problems found.\n";
    } else {
        // An older file gains what it lacks; a read-only one is queried as it is.
        store::migrateDatabase(file);
        tools::runQuery(file, args.positional.at(1),
                        args.json ? tools::QueryFormat::Json : tools::QueryFormat::Text, out);
    }
    return Ok;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    if (app.arguments().value(1) == QLatin1String("import"))
        return tools::runImportCommand(app.arguments().mid(2), out, err);
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    Arguments args;
    const QString problem = parse(parser, args);
    if (parser.isSet(help)) {
        out << UsageText;
        return Ok;
    }
    if (parser.isSet(version)) {
        out << "vantor-db " << VANTOR_VERSION << '\n';
        return Ok;
    }
    if (!problem.isEmpty()) {
        err << "vantor-db: " << problem << "\n\n" << UsageText;
        return Usage;
    }
    try {
        return run(args, out);
    } catch (const Error& error) {
        out.flush();
        err << "vantor-db: " << error.description() << '\n';
        return Failure;
    } catch (const std::bad_alloc&) {
        out.flush();
        err << "vantor-db: not enough memory to finish the command.\n";
        return Failure;
    } catch (const std::exception& error) {
        out.flush();
        err << "vantor-db: " << QString::fromLocal8Bit(error.what()) << '\n';
        return Failure;
    } catch (...) {
        out.flush();
        err << "vantor-db: the command failed for a reason it cannot name.\n";
        return Failure;
    }
}
