#pragma once

#include "tool_command_line.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// The container's commands. Each prints what it found on standard output and every failure
// as one line on standard error, and returns the exit status: 0 done, 1 failed.

// Every class of the user's and the system's store, one line each.
int listClasses();

// A class's members from its type library; with bitmapFile, writes its toolbox bitmap there
// as a PNG.
int describeClass(const QString& name, const QString& bitmapFile);

struct HostOptions {
    QString name;                 // ProgID or braced class identity
    QSize size{120, 40};          // the control's size, pixels
    std::optional<QPoint> at;     // screen position of the window's client area; centred when absent
    QStringList settings;         // NAME=VALUE, put in this order
    QStringList calls;            // METHOD, called in this order once the window shows
    bool interactive = false;
    bool linesFromStandardInput = false; // each line of standard input runs like a typed one
};

// Creates the class through the registry in a window of its own and runs until the window
// is closed or the process is asked to stop; the end of standard input does not end it.
// A size larger than the screen is wrong usage, told through commandLine (status 2).
int hostClass(int argc, char** argv, const HostOptions& options, const ToolCommandLine& commandLine);

// One failure line: "ctlhost: message"; returns 1.
int failure(const QString& message);
