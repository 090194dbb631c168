#pragma once

#include <QString>
#include <optional>

namespace fk::com {

// Readers of files and resources say why they failed through an optional error text and
// return nothing.
template <class T> std::optional<T> failWith(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace fk::com
