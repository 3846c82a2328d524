#pragma once

#include "Instruments.h"
#include "QuoteSource.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

// What the feed's browser pages share: the page frame, escaping, the symbol from an address,
// a deterministic generator and the exchange's clock.
namespace PageKit {

QByteArray escaped(const QString &text);
QByteArray escaped(const char *latin1);

// A whole page: the title (escaped here) and the body (HTML).
QByteArray page(const QString &title, const QByteArray &body);

// A page with a status other than 200 (400, 404) that still reads as a page.
FeedReply problem(int status, const QString &title, const QByteArray &paragraph);

// What an address gives as a symbol.
struct SymbolArg
{
    enum class State
    {
        Empty,   // no symbol given
        Invalid, // not a symbol: too long or characters no symbol has
        Valid,
    };
    State state = State::Empty;
    QString symbol; // upper case when valid
};
// The symbol in the query value `key`: up to 16 letters, digits and "^.-=_&", blanks around
// it dropped.
SymbolArg symbolArg(const FeedRequest &request, QStringView key);

// What the user asked for, to show back on a page: at most 40 characters, control and other
// unprintable characters as "?", escaped.
QByteArray shownText(const QString &text);

// The instrument with this symbol (letter case ignored), stocks and indices, or nullptr.
const Instrument *findInstrument(const QString &symbol);

// A small deterministic generator: the same seed draws the same numbers.
struct Random
{
    quint64 state;
    double uniform(); // in [0, 1)
    double gaussian();
    int below(int n) { return int(uniform() * n); }
};
quint64 seedOf(const QString &text);

// The exchange's time zone (New York), as the quote times of the grid use it; a fixed
// offset of five hours west when the system has no zone data.
QTimeZone exchangeZone();
// The latest moment of trading at or before `when`: `when` itself within a session
// (9:30am to 4:00pm on a weekday, exchange time), else the close of the session before.
QDateTime lastTradingMoment(const QDateTime &when);

// "With the Internet, …" and a link to the outside address in the query value "source", when
// it is a web address; empty otherwise.
QByteArray sourceLink(const FeedRequest &request, const QByteArray &what);

} // namespace PageKit
