#include "core/runtime_error.h"

namespace fk {

RuntimeError::RuntimeError(int number, const QString& description)
    : std::runtime_error(QStringLiteral("Run-time error '%1': %2").arg(number).arg(description).toStdString()),
      number_(number), description_(description)
{
}

RuntimeError RuntimeError::invalidArgument() { return {5, QStringLiteral("Invalid procedure call or argument")}; }
RuntimeError RuntimeError::overflow() { return {6, QStringLiteral("Overflow")}; }
RuntimeError RuntimeError::outOfMemory() { return {7, QStringLiteral("Out of memory")}; }
RuntimeError RuntimeError::subscriptOutOfRange() { return {9, QStringLiteral("Subscript out of range")}; }
RuntimeError RuntimeError::typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
RuntimeError RuntimeError::invalidUseOfNull() { return {94, QStringLiteral("Invalid use of Null")}; }
RuntimeError RuntimeError::invalidPropertyValue() { return {380, QStringLiteral("Invalid property value")}; }
RuntimeError RuntimeError::invalidPicture() { return {481, QStringLiteral("Invalid picture")}; }

RuntimeError RuntimeError::cannotCreateObject(const QString& what, const QString& reason)
{
    return {429, QStringLiteral("Cannot create object '%1': %2").arg(what, reason)};
}

RuntimeError RuntimeError::notSupported(const QString& member)
{
    return {438, QStringLiteral("Object doesn't support this property or method: %1").arg(member)};
}

RuntimeError RuntimeError::wrongArgumentCount()
{
    return {450, QStringLiteral("Wrong number of arguments or invalid property assignment")};
}

RuntimeError RuntimeError::failedCall(long code, const QString& what)
{
    // A failed call reports its failure code as the error number, as the code is all
    // the caller knows.
    return {static_cast<int>(code),
            QStringLiteral("%1 failed (code 0x%2)").arg(what).arg(static_cast<quint32>(code), 8, 16, QLatin1Char('0'))};
}

} // namespace fk
