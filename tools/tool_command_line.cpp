#include "tool_command_line.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

ToolCommandLine::ToolCommandLine(const char* name, const QString& synopsis, const QString& description)
    : name_(QString::fromLatin1(name)), synopsis_(synopsis)
{
    QCoreApplication::setApplicationName(name_);
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    parser.setApplicationDescription(description);
    // The parser's own help option would also offer --help-all, which these tools have no
    // use for; their help is one option.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help.")});
    parser.addVersionOption();
}

std::optional<int> ToolCommandLine::parse(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    const QStringList given = parser.optionNames();
    for (const QString& option : given)
        if (given.count(option) > 1 && !repeatable.contains(option))
            return usageError(QStringLiteral("option '%1' is given more than once").arg(option));
    if (parser.isSet(QStringLiteral("help"))) {
        // The parser's own first line names the program by a placeholder until an
        // application object exists; the tool's synopsis says it better.
        const QString help = parser.helpText();
        std::printf("usage: %s\n%s", qPrintable(synopsis_), qPrintable(help.mid(help.indexOf(QLatin1Char('\n')) + 1)));
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(name_), CORVANE_VERSION);
        return 0;
    }
    return std::nullopt;
}

int ToolCommandLine::usageError(const QString& message) const
{
    std::fprintf(stderr, "%s: %s\nusage: %s\n(%s --help says more)\n", qPrintable(name_), qPrintable(message),
                 qPrintable(synopsis_), qPrintable(name_));
    return 2;
}
