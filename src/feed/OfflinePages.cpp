#include "OfflinePages.h"

#include "Instruments.h"
#include "PageKit.h"
#include "QuoteFormat.h"
#include "SimulatedMarket.h"

#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <vector>

using namespace PageKit;

namespace OfflinePages {

namespace {

const QByteArray kSimulatedNews =
    "<p class=\"simulated\"><b>Simulated headlines.</b> Vantora's demo feed makes these up "
    "from the symbol and the day so that the panel can be tried without the Internet. They "
    "are not news: no such reports exist. Never trade on them.</p>\n";

// An instrument's figures: the market's when there is one, its usual level otherwise.
struct Figures
{
    const Instrument *instrument = nullptr;
    double previousClose = 0, open = 0, low = 0, high = 0, last = 0, yearLow = 0, yearHigh = 0;
    qint64 volume = 0;
    QTime time; // of the last trade, exchange time

    double change() const { return last - previousClose; }
    double percent() const { return previousClose != 0 ? change() / previousClose * 100 : 0; }
    bool stock() const { return instrument->kind == Instrument::Kind::Stock; }
    double pe() const { return instrument->eps > 0 ? last / instrument->eps : 0; }
    double yield() const { return last > 0 ? instrument->dividend / last * 100 : 0; }
};

Figures figuresOf(const Instrument &in, const SimulatedMarket *market)
{
    Figures f;
    f.instrument = &in;
    const MarketQuote *q = market ? market->find(QString::fromLatin1(in.symbol)) : nullptr;
    if (q) {
        f.previousClose = q->previousClose;
        f.open = q->open;
        f.low = q->low;
        f.high = q->high;
        f.last = q->last;
        f.yearLow = q->yearLow;
        f.yearHigh = q->yearHigh;
        f.volume = q->volume;
        f.time = market->clock();
    } else {
        f.previousClose = f.open = f.low = f.high = f.last = in.price;
        f.yearLow = in.price * 0.8;
        f.yearHigh = in.price * 1.2;
        f.time = lastTradingMoment(QDateTime::currentDateTimeUtc()).time();
    }
    return f;
}

// A whole number with thousands separators: 3,620,000.
QString grouped(qint64 value)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(value);
}

QByteArray num(double value, const Instrument &in, bool sign = false)
{
    return QuoteFormat::number(value, priceDecimals(in), sign);
}

QByteArray changeCell(const Figures &f)
{
    const char *cls = f.change() > 0 ? "up" : f.change() < 0 ? "down" : "";
    return "<td class=\"n " + QByteArray(cls) + "\">" + num(f.change(), *f.instrument, true) +
           " (" + QuoteFormat::number(f.percent(), 2, true) + "%)</td>";
}

QByteArray link(const QByteArray &path, const QString &symbol, const QByteArray &text)
{
    return "<a href=\"" + path + QUrl::toPercentEncoding(symbol) + "\">" + text + "</a>";
}

QByteArray chartLink(const QString &symbol, int time, int freq, const QByteArray &text)
{
    const QByteArray s = QUrl::toPercentEncoding(symbol);
    return "<a href=\"/print/print.asp?frames=0&amp;symb=" + s +
           "&amp;time=" + QByteArray::number(time) + "&amp;freq=" + QByteArray::number(freq) +
           "\">" + text + "</a>";
}

QByteArray symbolLinks(const QString &symbol)
{
    return "<p>" + chartLink(symbol, 1, 9, "Today's chart") + " &middot; " +
           chartLink(symbol, 8, 1, "One year") + " &middot; " +
           link("/news?s=", symbol, "Headlines") + " &middot; " +
           link("/research?s=", symbol, "Research") + " &middot; " +
           link("/ds/tools/bookviewer/htmlbook.jsp?STOCK=", symbol, "Order book") + "</p>\n";
}

// The instrument that a page about one symbol is for, or the 400/404 page.
struct Subject
{
    const Instrument *instrument = nullptr;
    std::optional<FeedReply> refusal;
};

Subject subjectOf(const FeedRequest &request, QStringView key, const QString &what)
{
    const SymbolArg arg = symbolArg(request, key);
    Subject subject;
    if (arg.state == SymbolArg::State::Empty) {
        subject.refusal = problem(400, QStringLiteral("No symbol for the ") + what,
                                  "Select a stock in the quote grid and ask again.");
    } else if (arg.state == SymbolArg::State::Invalid) {
        subject.refusal =
            problem(400, QStringLiteral("Not a stock symbol"),
                    "<b>" + shownText(request.queryValue(key)) + "</b> is not a stock symbol.");
    } else if (!(subject.instrument = findInstrument(arg.symbol))) {
        subject.refusal =
            problem(404, QStringLiteral("No ") + what + QStringLiteral(" for ") + arg.symbol,
                    "The simulated market has no instrument with the symbol <b>" +
                        escaped(arg.symbol) + "</b>.");
    }
    return subject;
}

// ---- news ------------------------------------------------------------------------------------

// A headline from the instrument alone (never the moving price), so that a day's stories stay.
using Headline = std::function<QString(Random &, const Figures &)>;

QString pick(Random &r, std::initializer_list<const char *> words)
{
    return QString::fromLatin1(words.begin()[r.below(int(words.size()))]);
}

QString money(double value, const Instrument &in)
{
    return u'$' + QString::fromLatin1(num(value, in));
}

const std::vector<Headline> &stockHeadlines()
{
    static const std::vector<Headline> list = {
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 shares %2 in %3 trading")
                .arg(QString::fromLatin1(f.instrument->name),
                     pick(r, {"edge higher", "slip", "climb", "retreat"}),
                     pick(r, {"active", "quiet", "early", "afternoon"}));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("Analyst at Northfield Research %1 %2 price target to %3")
                .arg(pick(r, {"raises", "lowers", "keeps"}),
                     QString::fromLatin1(f.instrument->symbol),
                     money(f.instrument->price * (0.9 + 0.3 * r.uniform()), *f.instrument));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 to present at %2 investor conference next week")
                .arg(QString::fromLatin1(f.instrument->name),
                     pick(r, {"a regional", "an industry", "a New York"}));
        },
        [](Random &, const Figures &f) {
            return f.instrument->dividend > 0
                       ? QStringLiteral("%1 declares quarterly dividend of %2 a share")
                             .arg(QString::fromLatin1(f.instrument->name),
                                  money(f.instrument->dividend / 4, *f.instrument))
                       : QStringLiteral("%1 says it has no plans for a dividend")
                             .arg(QString::fromLatin1(f.instrument->name));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 schedules quarterly results call for %2")
                .arg(QString::fromLatin1(f.instrument->name),
                     pick(r, {"next Tuesday", "next Wednesday", "next Thursday", "the 28th"}));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("Options traders %1 %2 ahead of earnings")
                .arg(pick(r, {"eye", "hedge", "pile into"}),
                     QString::fromLatin1(f.instrument->symbol));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 board approves $%2 billion share buyback")
                .arg(QString::fromLatin1(f.instrument->name), QString::number(1 + r.below(9)));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 volume runs %2 its daily average of %3 shares")
                .arg(QString::fromLatin1(f.instrument->symbol), pick(r, {"above", "below"}),
                     grouped(f.instrument->avgVolume));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 names new %2")
                .arg(QString::fromLatin1(f.instrument->name),
                     pick(r, {"chief financial officer", "head of sales", "board member"}));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("Fund filings show managers %1 stakes in %2")
                .arg(pick(r, {"added to", "trimmed", "held on to"}),
                     QString::fromLatin1(f.instrument->name));
        },
    };
    return list;
}

const std::vector<Headline> &indexHeadlines()
{
    static const std::vector<Headline> list = {
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 %2 as %3 lead")
                .arg(QString::fromLatin1(f.instrument->name), pick(r, {"rises", "falls"}),
                     pick(r, {"technology shares", "banks", "energy stocks", "retailers"}));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("Traders watch %1 near %2")
                .arg(QString::fromLatin1(f.instrument->name),
                     QString::fromLatin1(
                         num(f.instrument->price * (0.98 + 0.04 * r.uniform()), *f.instrument)));
        },
        [](Random &r, const Figures &f) {
            return QStringLiteral("%1 ends the week %2")
                .arg(QString::fromLatin1(f.instrument->name),
                     pick(r, {"higher", "lower", "little changed"}));
        },
        [](Random &r, const Figures &) {
            return QStringLiteral("Market breadth %1 in %2 session")
                .arg(pick(r, {"improves", "narrows"}), pick(r, {"a busy", "a quiet"}));
        },
    };
    return list;
}

FeedReply newsPage(const FeedRequest &request, const SimulatedMarket *market)
{
    const Subject subject = subjectOf(request, u"s", QStringLiteral("news"));
    if (subject.refusal)
        return *subject.refusal;
    const Instrument &in = *subject.instrument;
    const QString symbol = QString::fromLatin1(in.symbol);
    const Figures f = figuresOf(in, market);
    const QDate today = lastTradingMoment(QDateTime::currentDateTimeUtc()).date();
    // The same symbol on the same exchange day draws the same stories.
    Random random{seedOf(symbol + u'/' + today.toString(Qt::ISODate))};
    const auto &templates = f.stock() ? stockHeadlines() : indexHeadlines();
    std::vector<std::size_t> order(templates.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (std::size_t i = order.size(); i > 1; --i)
        std::swap(order[i - 1], order[std::size_t(random.below(int(i)))]);

    struct Story
    {
        QDateTime when;
        QString text;
    };
    std::vector<Story> stories;
    const std::size_t count = std::min<std::size_t>(order.size(), 7);
    for (std::size_t i = 0; i < count; ++i) {
        QDate day = today;
        for (int back = random.below(3); back > 0; --back) {
            do
                day = day.addDays(-1);
            while (day.dayOfWeek() > 5);
        }
        const QTime time(7 + random.below(10), random.below(60));
        stories.push_back({QDateTime(day, time, exchangeZone()), templates[order[i]](random, f)});
    }
    std::sort(stories.begin(), stories.end(),
              [](const Story &a, const Story &b) { return a.when > b.when; });

    const QString title = symbol + QStringLiteral(" headlines (simulated)");
    QByteArray body = "<h1>" + escaped(title) + "</h1>\n" + kSimulatedNews + "<p>" +
                      escaped(in.name) + " (" + escaped(symbol) + "), last " + num(f.last, in) +
                      ".</p>\n<table><tr><th>Exchange time</th><th>Headline</th></tr>\n";
    for (const Story &s : stories) {
        body += "<tr><td class=\"when\">" + s.when.toString(QStringLiteral("ddd MMM d")).toUtf8() +
                ' ' + QuoteFormat::tradeTimeText(s.when.time()) + "</td><td>" + escaped(s.text) +
                " <small>(simulated)</small></td></tr>\n";
    }
    body += "</table>\n" + symbolLinks(symbol) + sourceLink(request, "the news source you chose");
    return FeedReply::html(page(title, body));
}

// ---- research --------------------------------------------------------------------------------

QByteArray row(const char *name, const QByteArray &value)
{
    return "<tr><th>" + QByteArray(name) + "</th><td class=\"n\">" + value + "</td></tr>\n";
}

QByteArray researchIndex(const FeedRequest &request)
{
    QByteArray body = "<h1>Research</h1>\n<p>Every instrument of the simulated market. Type a "
                      "symbol in the panel's Research box, or pick one here.</p>\n"
                      "<table><tr><th>Symbol</th><th>Name</th><th>Exchange</th></tr>\n";
    for (auto list : {stockInstruments(), indexInstruments()}) {
        for (const Instrument &in : list) {
            const QString symbol = QString::fromLatin1(in.symbol);
            body += "<tr><td>" + link("/research?s=", symbol, escaped(symbol)) + "</td><td>" +
                    escaped(in.name) + "</td><td>" + escaped(in.exchange) + "</td></tr>\n";
        }
    }
    body += "</table>\n" + sourceLink(request, "the research source you chose");
    return page(QStringLiteral("Research"), body);
}

FeedReply researchPage(const FeedRequest &request, const SimulatedMarket *market)
{
    if (symbolArg(request, u"s").state == SymbolArg::State::Empty)
        return FeedReply::html(researchIndex(request));
    const Subject subject = subjectOf(request, u"s", QStringLiteral("research"));
    if (subject.refusal)
        return *subject.refusal;
    const Instrument &in = *subject.instrument;
    const QString symbol = QString::fromLatin1(in.symbol);
    const Figures f = figuresOf(in, market);
    const QString title = QStringLiteral("Research: ") + QString::fromLatin1(in.name);
    QByteArray table =
        "<table>\n" + row("Symbol", escaped(symbol)) + row("Exchange", escaped(in.exchange)) +
        row("Last", num(f.last, in) + " at " + QuoteFormat::tradeTimeText(f.time)) +
        "<tr><th>Change</th>" + changeCell(f) + "</tr>\n" +
        row("Previous close", num(f.previousClose, in)) + row("Open", num(f.open, in)) +
        row("Day range", num(f.low, in) + " - " + num(f.high, in)) +
        row("52-week range", num(f.yearLow, in) + " - " + num(f.yearHigh, in));
    if (f.stock()) {
        table += row("Volume", grouped(f.volume).toUtf8()) +
                 row("Average volume", grouped(in.avgVolume).toUtf8()) +
                 row("Earnings per share", QuoteFormat::number(in.eps, 2)) +
                 row("P/E ratio", in.eps > 0 ? QuoteFormat::number(f.pe(), 2) : "N/A") +
                 row("Yearly dividend", QuoteFormat::number(in.dividend, 2)) +
                 row("Dividend yield", QuoteFormat::number(f.yield(), 2) + '%');
    }
    table += "</table>\n";
    const QByteArray body = "<h1>" + escaped(title) + "</h1>\n<p>Figures of the simulated market" +
                            (market ? "" : " (usual levels)") + ", exchange time.</p>\n" + table +
                            symbolLinks(symbol) +
                            sourceLink(request, "the research source you chose");
    return FeedReply::html(page(title, body));
}

// ---- IPOs ------------------------------------------------------------------------------------

FeedReply ipoPage(const FeedRequest &request, const SimulatedMarket *market)
{
    QByteArray body = "<h1>IPOs and listings</h1>\n<p>The simulated market has no new issues: it "
                      "trades the same stocks every day. These are its listings.</p>\n"
                      "<table><tr><th>Symbol</th><th>Name</th><th>Exchange</th>"
                      "<th class=\"n\">Last</th><th class=\"n\">Change</th></tr>\n";
    for (const Instrument &in : stockInstruments()) {
        const Figures f = figuresOf(in, market);
        const QString symbol = QString::fromLatin1(in.symbol);
        body += "<tr><td>" + link("/research?s=", symbol, escaped(symbol)) + "</td><td>" +
                escaped(in.name) + "</td><td>" + escaped(in.exchange) + "</td><td class=\"n\">" +
                num(f.last, in) + "</td>" + changeCell(f) + "</tr>\n";
    }
    body += "</table>\n" + sourceLink(request, "the IPO source you chose");
    return FeedReply::html(page(QStringLiteral("IPOs and listings"), body));
}

// ---- screener --------------------------------------------------------------------------------

double bound(const FeedRequest &request, QStringView key, double fallback)
{
    bool ok = false;
    const double value = request.queryValue(key).trimmed().toDouble(&ok);
    return ok && value >= 0 && value <= 1e7 ? value : fallback;
}

FeedReply screenerPage(const FeedRequest &request, const SimulatedMarket *market)
{
    const double low = bound(request, u"min", 0);
    const double high = bound(request, u"max", 1e7);
    QString exchange = request.queryValue(u"exch");
    if (exchange != u"NYSE" && exchange != u"NasdaqNM")
        exchange.clear();
    static const char *const sorts[][2] = {{"symbol", "Symbol"},
                                           {"change", "Change %"},
                                           {"volume", "Volume"},
                                           {"pe", "P/E ratio"},
                                           {"yield", "Dividend yield"}};
    QString sort = request.queryValue(u"sort");
    if (std::none_of(std::begin(sorts), std::end(sorts),
                     [&](const auto &s) { return sort == QLatin1String(s[0]); }))
        sort = QStringLiteral("symbol");

    std::vector<Figures> found;
    for (const Instrument &in : stockInstruments()) {
        const Figures f = figuresOf(in, market);
        if (f.last >= low && f.last <= high &&
            (exchange.isEmpty() || exchange == QLatin1String(in.exchange)))
            found.push_back(f);
    }
    const auto key = [&](const Figures &f) {
        return sort == u"change"   ? -f.percent()
               : sort == u"volume" ? -double(f.volume)
               : sort == u"pe"     ? (f.pe() > 0 ? f.pe() : 1e9)
                                   : -f.yield();
    };
    std::stable_sort(found.begin(), found.end(), [&](const Figures &a, const Figures &b) {
        return sort == u"symbol" ? qstrcmp(a.instrument->symbol, b.instrument->symbol) < 0
                                 : key(a) < key(b);
    });

    const auto option = [](const QString &value, const QString &chosen,
                           const QByteArray &label) -> QByteArray {
        return "<option value=\"" + escaped(value) + '"' +
               (value == chosen ? QByteArray(" selected") : QByteArray()) + '>' + label +
               "</option>";
    };
    QByteArray form = "<form action=\"/screener\" method=\"get\">Price from <input name=\"min\" "
                      "size=\"6\" value=\"" +
                      (low > 0 ? QuoteFormat::number(low, 2) : QByteArray()) +
                      "\"> to <input name=\"max\" size=\"6\" value=\"" +
                      (high < 1e7 ? QuoteFormat::number(high, 2) : QByteArray()) +
                      "\"> on <select name=\"exch\">" + option({}, exchange, "any exchange") +
                      option(QStringLiteral("NYSE"), exchange, "NYSE") +
                      option(QStringLiteral("NasdaqNM"), exchange, "Nasdaq") +
                      "</select> sorted by <select name=\"sort\">";
    for (const auto &s : sorts)
        form += option(QString::fromLatin1(s[0]), sort, s[1]);
    form += "</select> <input type=\"submit\" value=\"Screen\">";
    // The chosen outside screener stays linked from one screening to the next.
    if (const QString source = request.queryValue(u"source");
        !source.isEmpty() && source.size() <= 2048)
        form += "<input type=\"hidden\" name=\"source\" value=\"" + escaped(source) + "\">";
    form += "</form>\n";

    QByteArray body = "<h1>Stock Screener</h1>\n<p>Screens the stocks of the simulated market." +
                      QByteArray(market ? "" : " Prices are their usual levels.") + "</p>\n" +
                      form + "<p>" + QByteArray::number(qsizetype(found.size())) +
                      " stocks pass.</p>\n<table><tr><th>Symbol</th><th>Name</th>"
                      "<th>Exchange</th><th class=\"n\">Last</th><th class=\"n\">Change</th>"
                      "<th class=\"n\">Volume</th><th class=\"n\">P/E</th>"
                      "<th class=\"n\">Yield</th></tr>\n";
    for (const Figures &f : found) {
        const Instrument &in = *f.instrument;
        const QString symbol = QString::fromLatin1(in.symbol);
        body += "<tr><td>" + link("/research?s=", symbol, escaped(symbol)) + "</td><td>" +
                escaped(in.name) + "</td><td>" + escaped(in.exchange) + "</td><td class=\"n\">" +
                num(f.last, in) + "</td>" + changeCell(f) + "<td class=\"n\">" +
                grouped(f.volume).toUtf8() + "</td><td class=\"n\">" +
                (f.pe() > 0 ? QuoteFormat::number(f.pe(), 1) : QByteArray("N/A")) +
                "</td><td class=\"n\">" + QuoteFormat::number(f.yield(), 2) + "%</td></tr>\n";
    }
    body += "</table>\n" + sourceLink(request, "the screener you chose");
    return FeedReply::html(page(QStringLiteral("Stock Screener"), body));
}

// ---- order book ------------------------------------------------------------------------------

FeedReply bookPage(const FeedRequest &request, const SimulatedMarket *market)
{
    const Subject subject = subjectOf(request, u"STOCK", QStringLiteral("order book"));
    if (subject.refusal)
        return *subject.refusal;
    const Instrument &in = *subject.instrument;
    const QString symbol = QString::fromLatin1(in.symbol);
    const Figures f = figuresOf(in, market);
    if (!f.stock()) {
        return problem(404, QStringLiteral("No order book for ") + symbol,
                       "<b>" + escaped(symbol) + "</b> is an index: indices have no orders.");
    }
    // The same price draws the same book; it moves with the market.
    Random random{seedOf(symbol + u'@' + QString::fromLatin1(num(f.last, in)))};
    constexpr double tick = 0.01;
    const double bid = std::max(tick, f.last - tick * random.below(3));
    const double ask = bid + tick * (1 + random.below(3));
    QByteArray rows;
    double bidPrice = bid, askPrice = ask;
    for (int level = 0; level < 10; ++level) {
        const auto shares = [&] {
            return grouped(100 * (1 + random.below(level < 2 ? 10 : 40))).toUtf8();
        };
        rows += "<tr><td class=\"n\">" + shares() + "</td><td class=\"n up\">" +
                QuoteFormat::number(bidPrice, 2) + "</td><td class=\"n down\">" +
                QuoteFormat::number(askPrice, 2) + "</td><td class=\"n\">" + shares() +
                "</td></tr>\n";
        bidPrice = std::max(tick, bidPrice - tick * (1 + random.below(4)));
        askPrice += tick * (1 + random.below(4));
    }
    const QString title = symbol + QStringLiteral(" order book (simulated)");
    const QByteArray body =
        "<h1>" + escaped(title) +
        "</h1>\n<p class=\"simulated\"><b>Simulated order book.</b> The "
        "demo feed makes up these orders around the simulated price; no real orders stand "
        "behind them.</p>\n<p>" +
        escaped(in.name) + ": last match " + num(f.last, in) + " at " +
        QuoteFormat::tradeTimeText(f.time) + " (exchange time), volume " +
        grouped(f.volume).toUtf8() +
        ".</p>\n<table><tr><th class=\"n\">Shares</th><th class=\"n\">Bid</th>"
        "<th class=\"n\">Ask</th><th class=\"n\">Shares</th></tr>\n" +
        rows + "</table>\n" + symbolLinks(symbol);
    return FeedReply::html(page(title, body));
}

} // namespace

std::optional<FeedReply> answer(const FeedRequest &request, const SimulatedMarket *market)
{
    const QString &path = request.path;
    if (path == u"/news")
        return newsPage(request, market);
    if (path == u"/research")
        return researchPage(request, market);
    if (path == u"/ipo")
        return ipoPage(request, market);
    if (path == u"/screener")
        return screenerPage(request, market);
    if (path == u"/ds/tools/bookviewer/htmlbook.jsp")
        return bookPage(request, market);
    return std::nullopt;
}

} // namespace OfflinePages
