#pragma once

#include "common/Result.h"

#include <QString>

// The per-user settings store: a tree of sections holding named text values, kept by
// QSettings under the organisation and application "Vantora".
//
// A section is a path of names joined by "\"; each "\" becomes a QSettings group
// separator and a trailing separator is dropped, so "Settings\" and "Settings" name the
// same section. Reads never fail: a missing key yields the default.
class SettingsStore
{
public:
    static QString read(const QString &section, const QString &key,
                        const QString &defaultValue = {});
    static void write(const QString &section, const QString &key, const QString &value);
    // Removes one key; removing a key that does not exist does nothing.
    static void removeKey(const QString &section, const QString &key);
    // Removes a whole section with its keys and subsections. The whole store, "Settings"
    // and the root of the portfolio sections are never removed, whatever the section text
    // (false then).
    static bool removeSection(const QString &section);
    static bool isProtectedSection(const QString &section);
    // Writes everything pending to disk (QSettings also does this on its own); a
    // PathFileAccess error when the file could not be written. What was not written stays
    // pending and is tried again at the next sync.
    static Result sync();
    // The file that holds the store.
    static QString fileName();
    // Removes every section and key of the program (a fresh store).
    static void clearAll();

    // The group path QSettings uses for a section ("Settings\Portfolios\A" ->
    // "Settings/Portfolios/A").
    static QString groupPath(const QString &section);

    // The per-portfolio section name for a portfolio.
    static QString portfolioSection(const QString &portfolio)
    {
        return QStringLiteral("Settings\\Portfolios\\") + portfolio;
    }
    static QString programSection() { return QStringLiteral("Settings"); }
    static QString portfolioRoot() { return QStringLiteral("Settings\\Portfolios"); }
};
