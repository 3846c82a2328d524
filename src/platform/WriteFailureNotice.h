#pragma once

#include <QString>

class QWidget;

// Tells the user about a file the program could not write (the settings store, a log): a
// box titled "Vantora Critical Error" that names the file. It is shown once when writing
// starts to fail, not again at every later failure, and shown again only after a write
// has succeeded in between. The program carries on; the caller tries again at its next
// write.
class WriteFailureNotice
{
public:
    // `what` names the file's role ("settings", "quote log"); `consequence` says what
    // becomes of the data and when the program tries again.
    void failed(QWidget *parent, const QString &what, const QString &path, const QString &reason,
                const QString &consequence);
    void succeeded() { m_shown = false; }
    bool shown() const { return m_shown; }

    static QString title() { return QStringLiteral("Vantora Critical Error"); }
    // Why a file is not written, as far as the program can tell.
    static QString unwritableReason()
    {
        return QStringLiteral("The file or its folder cannot be written (no permission, or no "
                              "space left on the disk).");
    }
    // What becomes of settings that could not be saved.
    static QString settingsConsequence()
    {
        return QStringLiteral("Your settings are kept while Vantora runs and saved at the next "
                              "save (OK in Options, or Exit) once the file can be written "
                              "again.");
    }

private:
    bool m_shown = false;
};
