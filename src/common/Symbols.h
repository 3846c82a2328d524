#pragma once

#include <QString>

// What a stock symbol may hold. The symbols of a portfolio are joined into the query of the
// quote request as they are typed, so a symbol that holds a character with a meaning in an
// address ("," between symbols, "&" "#" "?" "%" "/", a blank or a control character)
// would change the request and shift every later quote onto the wrong row.
namespace Symbols {

// The symbol without the white space around it (blanks, tabs, line breaks: what a paste or
// a hand-edited store brings along). Symbols are trimmed so before they are checked, stored
// or requested.
inline QString clean(const QString &symbol)
{
    return symbol.trimmed();
}

// Empty when the symbol (blanks at either end are ignored) can be requested; otherwise a
// short reason, for the user.
QString refusal(const QString &symbol);
inline bool isRequestable(const QString &symbol)
{
    return refusal(symbol).isEmpty();
}

} // namespace Symbols
