#pragma once

#include <QString>
#include <concepts>
#include <optional>

namespace fk::com {

// What a reader or writer of com returns when it fails: nothing, or false. Whoever fails says
// why through an optional error text, the caller's, with `return fail(error, why);`.
// It converts to an empty optional of any type and to false, and to nothing else: not to a
// number through false, which would make an optional<int> hold a 0.
struct Failure {
    template <class T> operator std::optional<T>() const { return std::nullopt; }
    template <class B> requires std::same_as<B, bool> operator B() const { return false; }
};

inline Failure fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return {};
}

} // namespace fk::com
