#pragma once

#include <QString>
#include <QStringList>

namespace vantor::app {

// What the program was asked to do on its command line.
struct CommandLine
{
    enum class Action { Run, Help, Version, Usage };
    // Exit codes of the program and its tools.
    enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

    Action action = Action::Run;
    QString dataFolder; // --data DIR, empty when not given
    QString problem;    // what is wrong with the arguments (Usage)

    // The arguments after the program name. Before the toolkit has taken its
    // own options (-platform, -style, ...) out, parse leniently: only --help
    // and --version count, so that they answer even without a display.
    static CommandLine parse(const QStringList& arguments, bool lenient = false);

    static QString helpText();
    static QString versionText(const QString& program);

    // Prints the help, the version or the usage problem; returns the exit code.
    int answer() const;
};

} // namespace vantor::app
