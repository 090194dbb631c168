#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// The command line every tool of the project shares: --help and --version, and for a wrong
// command line one clear line on standard error, a hint where to look, and status 2.
class ToolCommandLine {
public:
    // name: how the tool is called; synopsis: the usage lines after "usage: " that --help
    // and errors show; description: what the tool does, for --help.
    ToolCommandLine(const char* name, const QString& synopsis, const QString& description);

    QCommandLineParser parser;
    // The options that may be given more than once; any other given twice is wrong usage.
    QStringList repeatable;

    // Parses the arguments. Returns the status to exit with when the tool has nothing more
    // to do: 0 after --help or --version, 2 after a wrong command line; nothing otherwise.
    std::optional<int> parse(int argc, char** argv);

    // Says what is wrong with the command line, then how it is used; returns 2.
    int usageError(const QString& message) const;

private:
    QString name_;
    QString synopsis_;
};
