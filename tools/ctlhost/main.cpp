// ctlhost: the control test container.
//
//   ctlhost list
//   ctlhost describe PROGID|CLASSID [--bitmap FILE.png]
//   ctlhost host PROGID|CLASSID [--size WxH] [--at X,Y] [--set NAME=VALUE]... [--call METHOD]...
//   ctlhost host ... --interactive
//   ctlhost host ... --stdin
//
// Lists the classes of the registry, describes one from its type library, or creates one
// through the registry (as other programs do: no manifest) in a window of its own, puts
// its properties, calls its methods and prints its events as they come. Further properties
// and methods come from a line typed into the window (--interactive) or from the lines of
// standard input (--stdin), or both.
//
// Exit status: 0 done, 1 failed (one line on standard error says why), 2 wrong usage.
#include "commands.h"
#include "stop_signals.h"
#include "tool_command_line.h"

#include <QRegularExpression>
#include <cstdio>

namespace {

const QString kSynopsis = QStringLiteral(
    "ctlhost list\n"
    "       ctlhost describe PROGID|CLASSID [--bitmap FILE.png]\n"
    "       ctlhost host PROGID|CLASSID [--size WxH] [--at X,Y] [--set NAME=VALUE]... [--call METHOD]...\n"
    "       ctlhost host ... --interactive\n"
    "       ctlhost host ... --stdin");

std::optional<QSize> parseSize(const QString& text)
{
    const auto match = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(text);
    if (!match.hasMatch() || match.captured(1).toInt() == 0 || match.captured(2).toInt() == 0)
        return std::nullopt;
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

std::optional<QPoint> parsePoint(const QString& text)
{
    const auto match = QRegularExpression(QStringLiteral("^(-?\\d{1,5}),(-?\\d{1,5})$")).match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return QPoint(match.captured(1).toInt(), match.captured(2).toInt());
}

} // namespace

int failure(const QString& message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "ctlhost: %s\n", qPrintable(message));
    return 1;
}

int main(int argc, char** argv)
{
    // Before anything else, so that a host asked to stop while it starts ends as it would
    // once its window is up; every other command gives the signals back below.
    catchStopSignals();
    ToolCommandLine commandLine("ctlhost", kSynopsis,
                                QStringLiteral("The control test container: lists the registered classes, describes one from its "
                                               "type library, or hosts one in a window, created through the registry."));
    QCommandLineParser& parser = commandLine.parser;
    const QCommandLineOption bitmap(QStringLiteral("bitmap"), QStringLiteral("describe: write the toolbox bitmap as a PNG."),
                                    QStringLiteral("FILE.png"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("host: the control's size in pixels (120x40)."),
                                  QStringLiteral("WxH"));
    const QCommandLineOption at(QStringLiteral("at"), QStringLiteral("host: the screen position of the client area (centred)."),
                                QStringLiteral("X,Y"));
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("host: put a property, as text."),
                                 QStringLiteral("NAME=VALUE"));
    const QCommandLineOption call(QStringLiteral("call"), QStringLiteral("host: call a method and print its result."),
                                  QStringLiteral("METHOD"));
    const QCommandLineOption interactive(QStringLiteral("interactive"),
                                         QStringLiteral("host: add a property line and an event log to the window."));
    const QCommandLineOption standardInput(
        QStringLiteral("stdin"),
        QStringLiteral("host: run each line of standard input as if typed into the property line (NAME = VALUE or a "
                       "method's name); at the end of the input the host goes on until its window is closed or it "
                       "gets SIGTERM or SIGINT. May be combined with --interactive."));
    parser.addOptions({bitmap, size, at, set, call, interactive, standardInput});
    commandLine.repeatable = {set.names().first(), call.names().first()};
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, describe or host"));
    parser.addPositionalArgument(QStringLiteral("class"), QStringLiteral("a ProgID or a braced class identity"),
                                 QStringLiteral("[PROGID|CLASSID]"));
    const auto status = commandLine.parse(argc, argv);
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (status || command != QLatin1String("host"))
        releaseStopSignals();
    if (status)
        return *status;

    const bool hostOptions = parser.isSet(size) || parser.isSet(at) || parser.isSet(set) || parser.isSet(call) ||
                             parser.isSet(interactive) || parser.isSet(standardInput);
    if (command == QLatin1String("list")) {
        if (args.size() != 1 || hostOptions || parser.isSet(bitmap))
            return commandLine.usageError(QStringLiteral("list takes no class and no options"));
        QCoreApplication app(argc, argv);
        return listClasses();
    }
    if (command == QLatin1String("describe")) {
        if (args.size() != 2 || hostOptions)
            return commandLine.usageError(QStringLiteral("describe takes one class and at most --bitmap"));
        QCoreApplication app(argc, argv);
        return describeClass(args[1], parser.value(bitmap));
    }
    if (command != QLatin1String("host"))
        return commandLine.usageError(command.isEmpty() ? QStringLiteral("name a command")
                                                        : QStringLiteral("unknown command '%1'").arg(command));
    if (args.size() != 2 || parser.isSet(bitmap))
        return commandLine.usageError(QStringLiteral("host takes one class, and no --bitmap"));

    HostOptions options{.name = args[1]};
    if (parser.isSet(size)) {
        const auto value = parseSize(parser.value(size));
        if (!value)
            return commandLine.usageError(QStringLiteral("--size '%1' is not WIDTHxHEIGHT in pixels").arg(parser.value(size)));
        options.size = *value;
    }
    if (parser.isSet(at)) {
        options.at = parsePoint(parser.value(at));
        if (!options.at)
            return commandLine.usageError(QStringLiteral("--at '%1' is not X,Y in pixels").arg(parser.value(at)));
    }
    options.settings = parser.values(set);
    for (const QString& setting : options.settings)
        if (setting.indexOf(QLatin1Char('=')) <= 0)
            return commandLine.usageError(QStringLiteral("--set '%1' is not NAME=VALUE").arg(setting));
    options.calls = parser.values(call);
    options.interactive = parser.isSet(interactive);
    options.linesFromStandardInput = parser.isSet(standardInput);
    return hostClass(argc, argv, options, commandLine);
}
