#pragma once

#include "QuoteSource.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class SimulatedMarket;

// The pages the feed serves to Vantora's panel browser, so that every button of the panel
// leads to a page without the Internet:
//
//   /print/print.asp?...&symb=IBM&...&time=3&freq=1...  a price chart of the symbol's
//                                                         simulated history (inline SVG)
//   /l?m=US&s=<text>&t=                                  the instruments whose symbol or
//                                                         name holds the text
//   /, /vantora/, /index.html                            the start page
//   /media/tv?source=..., /media/radio?source=...          live media need the Internet
//   news, research, IPOs, screener, order book           see OfflinePages.h
namespace BrowserPages {

// The panel's page for a request, or nothing when the request is for none of them.
// Prices end at the market's current ones when a market is given.
std::optional<FeedReply> answer(const FeedRequest &request, const SimulatedMarket *market);

// The start page; sourceNote is one paragraph (HTML) on where the quotes come from, extra
// goes below it.
QByteArray startPage(const QByteArray &sourceNote, const QByteArray &extra = QByteArray());

// Where the program that runs the feed keeps its settings file and its logs; the start page
// names them. Until set, the page gives the rules that find them.
void setProgramFiles(const QString &settingsFile, const QString &logFolder);

// One point of a chart: when (seconds since the epoch, UTC) and the price.
struct ChartPoint
{
    qint64 time;
    double price;
};

// The history a chart shows for a symbol: the range's time code (1 one day ... 9 two
// years) and the frequency code (9 minute, 6 five minutes, 7 fifteen minutes, 8 hourly,
// 1 daily, 2 weekly, 3 monthly, 4 quarterly) give its span and step. The same symbol,
// codes, end price and end time give the same points; the last point is the end price.
std::vector<ChartPoint> history(const QString &symbol, int timeCode, int freqCode, double endPrice,
                                qint64 endTime);

} // namespace BrowserPages
