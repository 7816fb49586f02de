#pragma once

#include "platform/Try.h"

#include <QString>

#include <expected>

// The one error type every layer returns: a message a user can read, naming the file and what
// is wrong with it, plus a rough kind so callers can tell a missing file from a broken one.
struct Error
{
    enum class Kind { Io, Truncated, Corrupt, Unsupported, Invalid };

    Kind kind = Kind::Invalid;
    QString message;

    static Error io(const QString &message) { return {Kind::Io, message}; }
    static Error truncated(const QString &message) { return {Kind::Truncated, message}; }
    static Error corrupt(const QString &message) { return {Kind::Corrupt, message}; }
    static Error unsupported(const QString &message) { return {Kind::Unsupported, message}; }
    static Error invalid(const QString &message) { return {Kind::Invalid, message}; }
};

template<typename T>
using Result = std::expected<T, Error>;

// Shorthand for returning an error from a function whose result is Result<T>. Passing on the
// error of a call unchanged is VELMORA_TRY / VELMORA_TRY_ASSIGN (platform/Try.h, included here so
// every layer has it with the error type).
inline std::unexpected<Error> fail(Error error)
{
    return std::unexpected<Error>(std::move(error));
}
