// vantor-bench: times the program's queries through the engine against the
// same queries run natively by SQLite, on a database of the caller's choice
// (make a large one with: vantor-db generate bench.mdb --values 1000000).

#include "Measurements.h"
#include "WindowBench.h"
#include "platform/Error.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <limits>

using namespace vantor;
using namespace Qt::Literals::StringLiterals;

namespace {

const char UsageText[] =
    "Usage: vantor-bench DATABASE [--runs N] [--sqlite3 PROGRAM] [--only NAME]\n"
    "Times each measurement, best of N runs (3 unless told), through the\n"
    "engine and natively through the sqlite3 shell, and prints the ratio.\n"
    "Then opens the windows one by one, each in a process of its own, and\n"
    "prints their times and resident memory beside the goals they must meet.\n";

// Wall-clock milliseconds of the fastest of runs calls.
template <typename F> double bestOf(int runs, F call)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        call();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

QString column(const QString& text, int width)
{
    return text.leftJustified(width);
}

QString ms(double value)
{
    return QString::number(value, 'f', 0) + QStringLiteral(" ms");
}

QString mb(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" MB");
}

// The windows' figures beside the goals they are held to.
void printWindowTable(QTextStream& out, const QString& program, const bench::Setup& setup, int runs,
                      const QString& only)
{
    struct Goal
    {
        QString name;
        QString label;
        QString reference;
    };
    const QList<Goal> goals = {
        {QStringLiteral("edit"), QStringLiteral("Edit Data opens"),
         QStringLiteral("<= 500 ms, <= +20 MB")},
        {QStringLiteral("browse"), QStringLiteral("Browse opens"),
         QStringLiteral("<= 500 ms, <= +20 MB")},
        {QStringLiteral("statistics"), QStringLiteral("Statistics opens"),
         QStringLiteral("<= 1000 ms")},
        {QStringLiteral("chart"), QStringLiteral("Chart, one item, all dates"),
         QStringLiteral("<= 1000 ms")},
        {QStringLiteral("report"), QStringLiteral("Daily Results, first page"),
         QStringLiteral("<= 1000 ms, memory returned on close")},
        {QStringLiteral("all"), QStringLiteral("All open, then the report"),
         QStringLiteral("<= 200 MB peak")},
    };
    out << '\n'
        << column(QStringLiteral("window"), 28) << column(QStringLiteral("time"), 11)
        << column(QStringLiteral("+resident"), 11) << column(QStringLiteral("peak"), 10)
        << column(QStringLiteral("kept"), 10) << "goal\n";
    for (const Goal& goal : goals) {
        if (!only.isEmpty() && only != goal.name)
            continue;
        const bench::WindowResult r = bench::measureWindow(program, setup, goal.name, runs);
        out << column(goal.label, 28) << column(ms(r.ms), 11) << column(mb(r.growthMb), 11)
            << column(mb(r.peakMb), 10) << column(mb(r.keptMb), 10) << goal.reference << '\n';
        out.flush();
    }
    if (!only.isEmpty() && only != QLatin1String("raw floor"))
        return;
    const bench::RawFloor floor = bench::measureRawFloor(setup, runs);
    out << '\n'
        << column(QStringLiteral("Summary through the engine"), 28)
        << column(ms(floor.engineMs), 11)
        << column(QStringLiteral("C loop ") + ms(floor.loopMs), 22)
        << column(QStringLiteral("ratio ") + QString::number(floor.engineMs / floor.loopMs, 'f', 2),
                  12)
        << "<= 1.50 x the C loop (" << floor.rows << " rows)\n";
}

// The engine against the sqlite3 shell, measurement by measurement.
void printComparisons(QTextStream& out, const bench::Setup& setup, int runs, const QString& only)
{
    out << column(QStringLiteral("measurement"), 24) << column(QStringLiteral("rows"), 12)
        << column(QStringLiteral("engine ms"), 12) << column(QStringLiteral("sqlite3 ms"), 12)
        << "ratio\n";
    for (const bench::Comparison& comparison : bench::comparisons()) {
        if (!only.isEmpty() && comparison.name != only)
            continue;
        qint64 rows = 0;
        const double engineMs = bestOf(runs, [&] { rows = comparison.engine(setup); });
        const double nativeMs = bestOf(runs, [&] { comparison.native(setup); });
        out << column(comparison.name, 24) << column(QString::number(rows), 12)
            << column(QString::number(engineMs, 'f', 1), 12)
            << column(QString::number(nativeMs, 'f', 1), 12)
            << QString::number(engineMs / nativeMs, 'f', 2) << '\n';
        out.flush();
    }
}

struct Arguments
{
    bench::Setup setup;
    int runs = 3;
    QString only;
    QString window; // one window measurement, run by the bench itself in a process of its own
};

// False when the arguments are wrong.
bool parseArguments(const QStringList& arguments, Arguments& parsed)
{
    QCommandLineParser parser;
    const QCommandLineOption runs(u"runs"_s, {}, u"N"_s, u"3"_s);
    const QCommandLineOption sqlite(u"sqlite3"_s, {}, u"PROGRAM"_s);
    const QCommandLineOption only(u"only"_s, {}, u"NAME"_s);
    const QCommandLineOption window(u"window"_s, {}, u"NAME"_s);
    parser.addOptions({runs, sqlite, only, window});
    bool runsOk = false;
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1)
        return false;
    parsed.runs = parser.value(runs).toInt(&runsOk);
    parsed.setup.database = parser.positionalArguments().first();
    if (parser.isSet(sqlite))
        parsed.setup.sqliteShell = parser.value(sqlite);
    parsed.only = parser.value(only);
    parsed.window = parser.value(window);
    return runsOk && parsed.runs >= 1;
}

} // namespace

int main(int argc, char* argv[])
{
    // Some measurements open windows; they need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    Arguments args;
    if (!parseArguments(app.arguments(), args)) {
        err << UsageText;
        return 2;
    }
    if (!QFileInfo(args.setup.database).isFile()) {
        err << "vantor-bench: " << args.setup.database << " does not exist.\n";
        return 1;
    }
    try {
        if (!args.window.isEmpty())
            return bench::runWindow(args.setup, args.window);
        printComparisons(out, args.setup, args.runs, args.only);
        printWindowTable(out, QCoreApplication::applicationFilePath(), args.setup, args.runs,
                         args.only);
    } catch (const Error& error) {
        out.flush();
        err << "vantor-bench: " << error.description() << '\n';
        return 1;
    }
    return 0;
}
