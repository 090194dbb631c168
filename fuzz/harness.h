#pragma once

// What every harness shares: the input as Qt sees bytes, and a check that stops the run
// (libFuzzer reports it as a crash, with the input) when a reader breaks a promise.
#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline QByteArrayView inputOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline void require(bool promise, const char* what)
{
    if (!promise) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}
