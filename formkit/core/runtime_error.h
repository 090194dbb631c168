#pragma once

#include <QString>
#include <stdexcept>

namespace fk {

// The error a failing call raises out of the running handler. Handlers install no
// recovery; formkit's handler dispatch catches it and reports it (forms/error_reporting.h).
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description);

    int number() const { return number_; }
    const QString& description() const { return description_; }

    // The standard errors, by the number a report shows.
    static RuntimeError invalidArgument();            // 5
    static RuntimeError overflow();                   // 6
    static RuntimeError outOfMemory();                // 7
    static RuntimeError subscriptOutOfRange();        // 9
    static RuntimeError typeMismatch();               // 13
    static RuntimeError invalidUseOfNull();           // 94
    static RuntimeError invalidPropertyValue();       // 380
    static RuntimeError invalidPicture();             // 481
    static RuntimeError cannotCreateObject(const QString& what, const QString& reason); // 429
    static RuntimeError notSupported(const QString& member); // 438
    static RuntimeError wrongArgumentCount();         // 450
    static RuntimeError failedCall(long code, const QString& what);

private:
    int number_;
    QString description_;
};

} // namespace fk
