#include "ImportCommand.h"

#include "ParserProblem.h"
#include "QueryCommand.h"
#include "engine/Connection.h"
#include "importer/ImportPlan.h"
#include "platform/Error.h"
#include "store/Migration.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

#include <optional>

namespace vantor::tools {

namespace {

using namespace importer;

const char ImportUsage[] =
    "Usage: vantor-db import FILE DATA [options]\n"
    "\n"
    "Reads test results from FILE (tab, semicolon or comma separated text) into the\n"
    "database DATA. Prints what would be added; writes only with --yes, all or nothing.\n"
    "The program's own export is recognised by its heading; other files name their\n"
    "columns in the heading line (Date, Period, Test, Result, Unit, Remarks) or by --map.\n"
    "\n"
    "  --map date=C,period=C,test=C,result=C,unit=C,remarks=C\n"
    "                        one value a line; C is a column number from 1 or its heading\n"
    "  --map date=C,tests=C+C+...   one column per test item (named by the heading);\n"
    "                        a range such as tests=3-8 is allowed\n"
    "  --delimiter tab|semicolon|comma   --heading yes|no\n"
    "  --date-form iso|mdy|dmy         --decimal .|,\n"
    "  --period NAME         the period of lines without one (default: the first period)\n"
    "  --no-new              do not create test items or periods; their lines are skipped\n"
    "  --skip-bad            import the other lines when some cannot be read\n"
    "  --yes                 write\n";

enum ExitCode { Ok = 0, Failure = 1, Usage = 2 };

struct Options
{
    QString file;
    QString data;
    QString map;
    std::optional<QChar> delimiter;
    std::optional<bool> heading;
    std::optional<DateForm> dateForm;
    std::optional<QChar> decimal;
    QString period;
    bool noNew = false;
    bool skipBad = false;
    bool yes = false;
};

// Returns the message for a usage error, empty when the arguments are fine.
QString parseOptions(QCommandLineParser& parser, const QStringList& args, Options& o)
{
    auto valued = [](const char* name) {
        return QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("VALUE"));
    };
    const QCommandLineOption map = valued("map"), delimiter = valued("delimiter"),
                             heading = valued("heading"), dateForm = valued("date-form"),
                             decimal = valued("decimal"), period = valued("period");
    const QCommandLineOption yes(QStringLiteral("yes")), skipBad(QStringLiteral("skip-bad")),
        noNew(QStringLiteral("no-new"));
    parser.addOptions({map, delimiter, heading, dateForm, decimal, period, yes, skipBad, noNew});
    if (!parser.parse(QStringList{QStringLiteral("vantor-db import")} + args))
        return usageProblem(parser);

    o.yes = parser.isSet(yes);
    o.skipBad = parser.isSet(skipBad);
    o.noNew = parser.isSet(noNew);
    o.map = parser.value(map);
    o.period = parser.value(period);
    if (parser.isSet(delimiter)) {
        const QString t = parser.value(delimiter).toLower();
        if (t == u"tab")
            o.delimiter = u'\t';
        else if (t == u"semicolon" || t == u";")
            o.delimiter = u';';
        else if (t == u"comma" || t == u",")
            o.delimiter = u',';
        else
            return QStringLiteral("--delimiter takes tab, semicolon or comma.");
    }
    if (parser.isSet(heading)) {
        const QString t = parser.value(heading).toLower();
        if (t != u"yes" && t != u"no")
            return QStringLiteral("--heading takes yes or no.");
        o.heading = t == u"yes";
    }
    if (parser.isSet(dateForm)) {
        const QString t = parser.value(dateForm).toLower();
        if (t == u"iso")
            o.dateForm = DateForm::Iso;
        else if (t == u"mdy")
            o.dateForm = DateForm::MonthDayYear;
        else if (t == u"dmy")
            o.dateForm = DateForm::DayMonthYear;
        else
            return QStringLiteral("--date-form takes iso, mdy or dmy.");
    }
    if (parser.isSet(decimal)) {
        const QString t = parser.value(decimal);
        if (t != u"." && t != u",")
            return QStringLiteral("--decimal takes . or ,");
        o.decimal = t[0];
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return QStringLiteral("import takes a text file and a database file.");
    o.file = positional[0];
    o.data = positional[1];
    return {};
}

// A column by number from 1 or by its heading text.
int column(const QString& wanted, const TextTable& table)
{
    bool ok = false;
    const int number = wanted.toInt(&ok);
    if (ok) {
        if (number < 1 || number > table.columnCount())
            throw Error(Error::InvalidProcedureCall,
                        QStringLiteral("The file has no column %1.").arg(wanted));
        return number - 1;
    }
    for (int c = 0; c < table.heading.size(); ++c)
        if (table.heading[c].trimmed().compare(wanted.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    throw Error(Error::InvalidProcedureCall,
                QStringLiteral("The file has no column named \"%1\".").arg(wanted));
}

Mapping parseMap(const QString& mapText, const TextTable& table)
{
    Mapping mapping;
    for (const QString& part : mapText.split(u',', Qt::SkipEmptyParts)) {
        const QString key = part.section(u'=', 0, 0).trimmed().toLower();
        const QString value = part.section(u'=', 1);
        if (!part.contains(u'=') || value.trimmed().isEmpty())
            throw Error(Error::InvalidProcedureCall,
                        QStringLiteral("--map wants key=column pairs, not \"%1\".").arg(part));
        if (key == u"tests") {
            mapping.layout = Layout::Wide;
            for (const QString& item : value.split(u'+', Qt::SkipEmptyParts)) {
                const QStringList range = item.split(u'-');
                bool a = false, b = false;
                const int from = range.value(0).toInt(&a);
                const int to = range.value(1).toInt(&b);
                if (range.size() == 2 && a && b) {
                    for (int c = from; c <= to; ++c)
                        mapping.testColumns << column(QString::number(c), table);
                } else {
                    mapping.testColumns << column(item, table);
                }
            }
            continue;
        }
        int* target = key == u"date"      ? &mapping.date
                      : key == u"period"  ? &mapping.period
                      : key == u"test"    ? &mapping.test
                      : key == u"result"  ? &mapping.result
                      : key == u"unit"    ? &mapping.unit
                      : key == u"remarks" ? &mapping.remarks
                                          : nullptr;
        if (!target)
            throw Error(Error::InvalidProcedureCall,
                        QStringLiteral("--map knows date, period, test, result, unit, remarks "
                                       "and tests, not \"%1\".")
                            .arg(key));
        *target = column(value, table);
    }
    return mapping;
}

QString firstPeriod(engine::SqliteDatabase& db)
{
    engine::SqliteStatement rows(db,
                                 QStringLiteral("SELECT Period FROM Periods ORDER BY ID LIMIT 1"));
    return rows.step() ? rows.text(0) : QString();
}

// For tests of an import cut short: pauses half-way through the writes, after
// saying so on the error stream, so that a test can end the process there.
Progress testPause(QTextStream& err)
{
    const int pauseMs = qEnvironmentVariableIntValue("VANTOR_IMPORT_TEST_PAUSE_MS");
    if (pauseMs <= 0)
        return {};
    return [&err, pauseMs, paused = false](qint64 done, qint64 total) mutable {
        if (!paused && done * 4 >= total * 3) {
            paused = true;
            err << "vantor-db: writing\n";
            err.flush();
            QThread::msleep(pauseMs);
        }
        return true;
    };
}

int run(const Options& o, QTextStream& out, QTextStream& err)
{
    const GuessedFile guessed = guessFile(readSourceFile(o.file), o.delimiter, o.heading);
    const SourceText& source = guessed.source;
    const TextTable& table = guessed.table;

    Mapping mapping;
    DateGuess guess;
    if (!o.map.isEmpty()) {
        mapping = parseMap(o.map, table);
    } else if (guessed.mapping) {
        mapping = *guessed.mapping;
    } else {
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The heading does not say which column holds what; "
                                   "say it with --map (see vantor-db import --help)."));
    }
    guessForms(mapping, table, QLocale(), &guess);
    if (o.dateForm) {
        mapping.dateForm = *o.dateForm;
        guess.ambiguous = false;
    }
    if (o.decimal)
        mapping.decimal = *o.decimal;

    store::migrateDatabase(o.data);
    engine::Connection connection;
    connection.open(jetConnectionString(o.data));
    engine::SqliteDatabase& db = connection;
    requireResultTables(db);
    mapping.defaultPeriod = o.period.isEmpty() ? firstPeriod(db) : o.period;

    out << "File: " << QDir::toNativeSeparators(o.file) << " (" << source.encoding << ", "
        << delimiterName(table.delimiter) << ", "
        << (table.hasHeading ? "first line is a heading" : "no heading")
        << (source.isExport ? "; the program's export" : "") << ")\n";
    out << "Dates: " << dateFormName(mapping.dateForm)
        << (guess.ambiguous ? " (the data allow either order: the locale's order)\n" : "\n");
    out.flush();

    const PlanOptions planOptions{!o.noNew};
    if (!o.yes) {
        const auto plan = planImport(db, table, mapping, planOptions);
        out << previewText(*plan);
        out << "Nothing was written; add --yes to import"
            << (plan->badLines.isEmpty() ? "" : " and --skip-bad to leave out the lines above")
            << ".\n";
        return Ok;
    }
    QElapsedTimer timer;
    timer.start();
    const auto plan = planImport(db, table, mapping, planOptions);
    out << previewText(*plan);
    out.flush();
    const auto outcome = runImport(db, table, mapping, planOptions, o.skipBad, testPause(err));
    out << outcomeText(*outcome) << " ("
        << QString::number(double(timer.elapsed()) / 1000.0, 'f', 2) << " s)\n";
    return Ok;
}

} // namespace

int runImportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    Options options;
    const QString problem = parseOptions(parser, arguments, options);
    if (parser.isSet(help)) {
        out << ImportUsage;
        return Ok;
    }
    if (!problem.isEmpty()) {
        err << "vantor-db: " << problem << "\n\n" << ImportUsage;
        return Usage;
    }
    try {
        return run(options, out, err);
    } catch (const Error& error) {
        out.flush();
        err << "vantor-db: " << error.description() << '\n';
        return Failure;
    }
}

} // namespace vantor::tools
