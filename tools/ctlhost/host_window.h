#pragma once

#include "commands.h"
#include "registered_class.h"
#include "hosting/hosted_control.h"
#include "forms/form.h"

#include <QString>

class QLineEdit;
class QPlainTextEdit;

// The container's window: the control fills its client area; in interactive use a
// property line and an event log sit below it. Every event the control raises is printed
// on standard output as it arrives, one line with its running number.
class HostWindow : public fk::Form {
public:
    // Creates the class through the registry; raises the runtime's error when it cannot.
    HostWindow(const RegisteredClass& registered, const HostOptions& options);

    // Puts a property through dispatch; says why not, or returns empty text.
    QString put(const QString& name, const QString& value);
    // Calls a method without arguments and prints its result; says why not, or returns empty text.
    QString call(const QString& name);
    // Places the window's client area at a screen position, before it is shown.
    void placeClientAt(const QPoint& position);
    // Shows the window and waits (a few seconds at most) until it is on the screen.
    void showAndWait();
    // Runs one line as a person would type it into the interactive property line:
    // "NAME = VALUE" puts a property, a bare name calls a method, and a blank line does
    // nothing. A mistake is reported as a line beginning "error:" and the host goes on.
    void runLine(const QString& line);

private:
    void connectEvents();
    void report(const QString& line);

    RegisteredClass registered_;
    QString className_;
    fk::com::HostedControl control_;
    QLineEdit* propertyLine_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    int eventCount_ = 0;
};
