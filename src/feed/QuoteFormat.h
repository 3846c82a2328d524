#pragma once

#include "LiveQuote.h"
#include "SimulatedMarket.h"

#include <QByteArray>
#include <QStringList>
#include <QTime>

// The answer format of the quote service. A request names its fields with a string of
// field codes ("spelcvomrn", "sb3b2k1k2vom2r2n", "nk1k2"); every answer line holds those
// fields in that order, separated by commas, followed by six trailing fields, and ends
// with CR LF. Text fields are in double quotes, numbers are bare, a missing value is N/A.
// Composite fields read "time - <b>price</b>", "change - percent" and "low - high".
namespace QuoteFormat {

// Splits a field-code string into codes: a letter and the digits that follow it.
// Anything from the first "=" on is not part of the codes ("spelcvomrn=.csv").
QStringList parseFieldCodes(QStringView codes);

// The number of trailing fields after the requested ones.
inline constexpr int kTrailingFields = 6;

// One answer line, CR LF included, for a known instrument.
QByteArray quoteLine(const MarketQuote &quote, const QStringList &codes, QTime tradeTime);

// One answer line, CR LF included, for a quote from a live source. Prices have two
// decimals, four below 1.00; what the source did not give is N/A.
QByteArray liveLine(const LiveQuote &quote, const QStringList &codes);

// The line for a symbol the service does not know: the symbol echoed in the symbol and
// name fields, every other value N/A, with the composite fields keeping their shape.
QByteArray unknownLine(const QString &symbol, const QStringList &codes);

// True when a symbol may go to a live source: 1 to 16 characters, each a letter, a digit,
// ".", "-", "^" or "=".
bool isValidSymbol(QStringView symbol);

// The symbol as the service echoes it: upper case, only the characters a ticker symbol
// may hold, at most 16 of them. Nothing of a request can break the answer's format.
QString echoSymbol(QStringView requested);

// "3:17pm"
QByteArray tradeTimeText(QTime time);
// A price with the instrument's decimals; "+0.86" style with a sign when signed.
QByteArray number(double value, int decimals, bool withSign = false);

} // namespace QuoteFormat
