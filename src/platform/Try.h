#pragma once

// Early return on failure for any std::expected, whatever its error type: the program's Result<T>
// (platform/Error.h), the .sis library's and the plain-C++ readers' results alike. Plain C++
// without Qt, so the package tools and the converter can use it too.
//
//     VELMORA_TRY(writeFile(path, bytes));              // value, if any, not needed
//     VELMORA_TRY_ASSIGN(auto bytes, readFile(path));   // bytes holds the value
//     VELMORA_TRY_ASSIGN(const QImage image, decode(bytes, name));
//
// When the expression failed, the enclosing function (or lambda) returns its error as
// std::unexpected; that function's result must be a std::expected whose error type can be made
// from it. Nothing else is done on failure, so a site that logs, rewords the message or
// cleans up first keeps its own `if`.
//
// VELMORA_TRY_ASSIGN expands to several statements and leaves a hidden variable in the enclosing
// scope (the value may refer into it), so it must stand in a block of its own, never as the sole
// body of an unbraced `if` or loop. Its hidden name is made unique with __COUNTER__, so any
// number of uses may share a scope. The expression is the last argument and may hold commas.

#include <expected>
#include <utility>

#define VELMORA_TRY_JOIN_(a, b) a##b
#define VELMORA_TRY_JOIN(a, b) VELMORA_TRY_JOIN_(a, b)

// std::forward keeps a named result passed in (an lvalue) intact: its error is copied, while a
// temporary's error and value are moved.
#define VELMORA_TRY(...)                                                                           \
    do {                                                                                           \
        auto &&velmoraTryResult_ = (__VA_ARGS__);                                                  \
        if (!velmoraTryResult_)                                                                    \
            return std::unexpected(                                                                \
                std::forward<decltype(velmoraTryResult_)>(velmoraTryResult_).error());             \
    } while (false)

#define VELMORA_TRY_ASSIGN(declaration, ...)                                                       \
    VELMORA_TRY_ASSIGN_(VELMORA_TRY_JOIN(velmoraTryResult_, __COUNTER__), declaration, __VA_ARGS__)

#define VELMORA_TRY_ASSIGN_(result, declaration, ...)                                              \
    auto &&result = (__VA_ARGS__);                                                                 \
    if (!result)                                                                                   \
        return std::unexpected(std::forward<decltype(result)>(result).error());                    \
    declaration = *std::forward<decltype(result)>(result)
