#pragma once

#include <QString>

#include <exception>

// A run-time failure of an operation: where it happened, its number and what went wrong.
// Event handlers run through guard() (platform/ErrorReporter.h), which reports it and
// carries on; docs/architecture.md ("Errors") states the whole convention.
class RuntimeError : public std::exception
{
public:
    // The numbers of the failures the program raises itself.
    static constexpr int Overflow = 6;
    static constexpr int TypeMismatch = 13;
    static constexpr int PathFileAccess = 75; // a file or folder that cannot be read or written

    RuntimeError(QString source, int number, QString description)
        : m_source(std::move(source)), m_number(number), m_description(std::move(description))
    {
    }
    const QString &source() const { return m_source; }
    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return "Vantora run-time error"; }

private:
    QString m_source;
    int m_number;
    QString m_description;
};
