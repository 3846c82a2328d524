#pragma once

#include "common/RuntimeError.h"

#include <optional>
#include <utility>

// What an operation returns when its caller decides what a failure means (carry on, try
// again at the next write, tell the user once): success, or the RuntimeError that says why
// not. A caller that cannot go on throws the error on to its handler's guard() with
// orThrow().
class Result
{
public:
    Result() = default; // success
    Result(RuntimeError error) : m_error(std::move(error)) {}

    bool succeeded() const { return !m_error.has_value(); }
    explicit operator bool() const { return succeeded(); }
    // Only for a failed result.
    const RuntimeError &error() const { return *m_error; }
    void orThrow() const
    {
        if (m_error)
            throw *m_error;
    }

private:
    std::optional<RuntimeError> m_error;
};
