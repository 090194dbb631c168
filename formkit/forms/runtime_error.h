#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

namespace fk {

// The error a failing call raises out of the running handler. Handlers install no
// recovery; formkit's handler dispatch catches it and reports it (see runHandler).
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description);

    int number() const { return number_; }
    const QString& description() const { return description_; }

    // The standard errors, by the number a report shows.
    static RuntimeError invalidArgument();            // 5
    static RuntimeError overflow();                   // 6
    static RuntimeError subscriptOutOfRange();        // 9
    static RuntimeError typeMismatch();               // 13
    static RuntimeError invalidUseOfNull();           // 94
    static RuntimeError cannotCreateObject(const QString& what, const QString& reason); // 429
    static RuntimeError notSupported(const QString& member); // 438
    static RuntimeError wrongArgumentCount();         // 450
    static RuntimeError failedCall(long code, const QString& what);

private:
    int number_;
    QString description_;
};

// Who is told about an error that no handler trapped. The standard reporter shows a modal
// message box naming the error and then ends the program; tests put in one that records.
using ErrorReporter = std::function<void(const RuntimeError&)>;

// Installs a reporter and returns the one it replaces.
ErrorReporter setErrorReporter(ErrorReporter reporter);
void reportUntrapped(const RuntimeError& error);

// Runs one event handler the way the runtime does: an error it raises ends the handler and
// is reported. Every entry from the window system into program or control code goes
// through here, so no error ever unwinds through the toolkit.
void runHandler(const std::function<void()>& handler);

} // namespace fk
