#pragma once

#include <QCommandLineParser>
#include <QString>

namespace vantor::tools {

// The parser's complaint in the tool's words: an unknown option is named as
// it was typed.
inline QString usageProblem(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString& name = unknown.first();
    return QStringLiteral("Unknown option %1%2.")
        .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
}

} // namespace vantor::tools
