#include "YahooSource.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookieJar>
#include <QTimeZone>

#include <algorithm>

namespace {

const QString kCookieHost = QStringLiteral("fc.yahoo.com");
const QString kQueryHost = QStringLiteral("query1.finance.yahoo.com");

// A number as the endpoints give it: bare, or an object whose "raw" member holds it.
std::optional<double> number(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isObject() && value.toObject().value(QLatin1String("raw")).isDouble())
        return value.toObject().value(QLatin1String("raw")).toDouble();
    return std::nullopt;
}

std::optional<qint64> whole(const QJsonValue &value)
{
    if (const auto n = number(value))
        return qint64(*n);
    return std::nullopt;
}

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString().trimmed();
}

// The time of a trade in the exchange's time zone: from the offset the answer names, or
// else from the zone's name.
std::optional<QTime> exchangeTime(const QJsonValue &epochSeconds,
                                  std::optional<qint64> offsetSeconds, const QString &zoneName)
{
    const auto seconds = whole(epochSeconds);
    if (!seconds || *seconds <= 0)
        return std::nullopt;
    if (offsetSeconds)
        return QDateTime::fromSecsSinceEpoch(*seconds, Qt::OffsetFromUTC, int(*offsetSeconds))
            .time();
    const QTimeZone zone(zoneName.toLatin1());
    if (!zone.isValid())
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(*seconds, zone).time();
}

bool isIndex(const QJsonObject &object, const QString &symbol)
{
    const QString type = text(object, "quoteType").isEmpty() ? text(object, "instrumentType")
                                                             : text(object, "quoteType");
    return type.compare(QLatin1String("INDEX"), Qt::CaseInsensitive) == 0 ||
           symbol.startsWith(u'^');
}

QString percentEncoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// "%5EDJI,MSFT": a list of symbols for a query.
QString symbolList(const QStringList &symbols)
{
    QStringList encoded;
    for (const QString &symbol : symbols)
        encoded.append(percentEncoded(symbol));
    return encoded.join(u',');
}

// The "result" member of an answer's top-level member (quoteResponse, spark).
QJsonValue resultOf(const QByteArray &json, QLatin1String member)
{
    return QJsonDocument::fromJson(json).object().value(member).toObject().value(
        QLatin1String("result"));
}

} // namespace

YahooSource::YahooSource(QUrl upstream, UpstreamPolicy policy)
    : UpstreamSource(QStringLiteral("Yahoo Finance"), std::move(upstream), policy)
{
}

std::optional<UpstreamSource::Quotes> YahooSource::parseQuoteAnswer(const QByteArray &json)
{
    const QJsonValue result = resultOf(json, QLatin1String("quoteResponse"));
    if (!result.isArray())
        return std::nullopt;
    Quotes quotes;
    for (const QJsonValue &entry : result.toArray()) {
        if (!entry.isObject() || !entry.toObject().value(QLatin1String("symbol")).isString())
            return std::nullopt;
        const QJsonObject o = entry.toObject();
        LiveQuote q;
        q.symbol = text(o, "symbol").toUpper();
        q.last = number(o.value(QLatin1String("regularMarketPrice")));
        if (!q.last)
            continue; // known by name only: no quote to give
        q.name = text(o, "shortName").isEmpty() ? text(o, "longName") : text(o, "shortName");
        q.exchange = text(o, "fullExchangeName");
        q.index = isIndex(o, q.symbol);
        q.change = number(o.value(QLatin1String("regularMarketChange")));
        q.changePercent = number(o.value(QLatin1String("regularMarketChangePercent")));
        q.previousClose = number(o.value(QLatin1String("regularMarketPreviousClose")));
        q.open = number(o.value(QLatin1String("regularMarketOpen")));
        q.low = number(o.value(QLatin1String("regularMarketDayLow")));
        q.high = number(o.value(QLatin1String("regularMarketDayHigh")));
        q.yearLow = number(o.value(QLatin1String("fiftyTwoWeekLow")));
        q.yearHigh = number(o.value(QLatin1String("fiftyTwoWeekHigh")));
        q.eps = number(o.value(QLatin1String("epsTrailingTwelveMonths")));
        q.peRatio = number(o.value(QLatin1String("trailingPE")));
        // No bid or ask (outside trading hours) reads 0.
        if (const auto bid = number(o.value(QLatin1String("bid"))); bid && *bid > 0)
            q.bid = bid;
        if (const auto ask = number(o.value(QLatin1String("ask"))); ask && *ask > 0)
            q.ask = ask;
        q.dividend = number(o.value(QLatin1String("trailingAnnualDividendRate")));
        if (const auto yield = number(o.value(QLatin1String("trailingAnnualDividendYield"))))
            q.dividendYield = *yield * 100; // a fraction here
        q.volume = whole(o.value(QLatin1String("regularMarketVolume")));
        q.averageVolume = whole(o.value(QLatin1String("averageDailyVolume3Month")));
        std::optional<qint64> offset;
        if (const auto ms = whole(o.value(QLatin1String("gmtOffSetMilliseconds"))))
            offset = *ms / 1000;
        q.tradeTime = exchangeTime(o.value(QLatin1String("regularMarketTime")), offset,
                                   text(o, "exchangeTimezoneName"));
        q.deriveChange();
        quotes.insert(q.symbol, q);
    }
    return quotes;
}

namespace {

// The quote in a chart's "meta" object (the chart and the spark endpoint give the same);
// false when it is not one.
bool quoteFromMeta(const QJsonObject &meta, std::optional<LiveQuote> &quote)
{
    quote.reset();
    if (!meta.value(QLatin1String("symbol")).isString())
        return false;
    LiveQuote q;
    q.symbol = text(meta, "symbol").toUpper();
    q.last = number(meta.value(QLatin1String("regularMarketPrice")));
    if (!q.last)
        return true;
    q.name = text(meta, "shortName").isEmpty() ? text(meta, "longName") : text(meta, "shortName");
    q.exchange = text(meta, "fullExchangeName");
    q.index = isIndex(meta, q.symbol);
    q.previousClose = number(meta.value(QLatin1String("previousClose")));
    if (!q.previousClose)
        q.previousClose = number(meta.value(QLatin1String("chartPreviousClose")));
    q.low = number(meta.value(QLatin1String("regularMarketDayLow")));
    q.high = number(meta.value(QLatin1String("regularMarketDayHigh")));
    q.yearLow = number(meta.value(QLatin1String("fiftyTwoWeekLow")));
    q.yearHigh = number(meta.value(QLatin1String("fiftyTwoWeekHigh")));
    q.volume = whole(meta.value(QLatin1String("regularMarketVolume")));
    q.tradeTime = exchangeTime(meta.value(QLatin1String("regularMarketTime")),
                               whole(meta.value(QLatin1String("gmtoffset"))),
                               text(meta, "exchangeTimezoneName"));
    q.deriveChange();
    quote = q;
    return true;
}

// A rest that doubles with each failure in a row: 5, 10, 20, 40, then 60 minutes.
qint64 restAfter(int failures)
{
    const qint64 rest = qint64(YahooSource::kQuoteEndpointRestMs) << std::clamp(failures - 1, 0, 4);
    return std::min<qint64>(rest, YahooSource::kLongestRestMs);
}

} // namespace

// One round of fetching without the quote endpoint: parts under way and the failure that
// left symbols unsettled.
struct YahooSource::Round
{
    FetchSink sink;
    int pending = 0;
    std::optional<UpstreamFailure> failure;
};

bool YahooSource::parseChartAnswer(const QByteArray &json, std::optional<LiveQuote> &quote)
{
    quote.reset();
    const QJsonObject chart =
        QJsonDocument::fromJson(json).object().value(QLatin1String("chart")).toObject();
    if (!chart.contains(QLatin1String("result")))
        return false;
    const QJsonValue result = chart.value(QLatin1String("result"));
    if (result.isNull() || (result.isArray() && result.toArray().isEmpty()))
        return chart.value(QLatin1String("error")).isObject(); // an unknown symbol
    return quoteFromMeta(
        result.toArray().first().toObject().value(QLatin1String("meta")).toObject(), quote);
}

std::optional<UpstreamSource::Quotes> YahooSource::parseSparkAnswer(const QByteArray &json)
{
    const QJsonValue result = resultOf(json, QLatin1String("spark"));
    if (!result.isArray())
        return std::nullopt;
    Quotes quotes;
    // An entry of another shape, or with an empty or missing response, is a symbol the
    // endpoint does not know; so is a symbol it leaves out.
    for (const QJsonValue &entry : result.toArray()) {
        const QJsonObject o = entry.toObject();
        const QJsonArray response = o.value(QLatin1String("response")).toArray();
        std::optional<LiveQuote> quote;
        if (!o.value(QLatin1String("symbol")).isString() || response.isEmpty() ||
            !quoteFromMeta(response.first().toObject().value(QLatin1String("meta")).toObject(),
                           quote) ||
            !quote)
            continue;
        quotes.insert(text(o, "symbol").toUpper(), *quote);
    }
    return quotes;
}

int YahooSource::batchSize() const
{
    return m_sparkRest.hasExpired() || m_quoteEndpointRest.hasExpired() ? kSparkBatch : 1;
}

void YahooSource::fetchQuotes(const QStringList &symbols, FetchSink sink)
{
    if (m_quoteEndpointRest.hasExpired())
        fetchFromQuoteEndpoint(symbols, false, std::move(sink));
    else
        fetchWithoutSession(symbols, std::move(sink));
}

void YahooSource::withSession(std::function<void(std::optional<UpstreamFailure>, bool)> then)
{
    if (!m_crumb.isEmpty()) {
        then(std::nullopt, false);
        return;
    }
    // The cookie page answers with an error status and sets the cookie all the same; only
    // no answer, or a server that is down or busy, means there is no cookie.
    get(address(kCookieHost, QStringLiteral("/")), [this, then](const UpstreamAnswer &cookie) {
        if (cookie.status == 0 || cookie.status == 429 || cookie.status >= 500) {
            then(cookie.toFailure(QStringLiteral("cookie")), true);
            return;
        }
        get(address(kQueryHost, QStringLiteral("/v1/test/getcrumb")),
            [this, then](const UpstreamAnswer &answer) {
                const QByteArray crumb = answer.body.trimmed();
                if (!answer.ok() || answer.looksLikeHtml()) {
                    then(answer.toFailure(QStringLiteral("crumb")), true);
                    return;
                }
                if (crumb.isEmpty() || crumb.size() > 64 || crumb.contains(' ') ||
                    crumb.contains('{')) {
                    then(UpstreamFailure{502, QStringLiteral("crumb: unexpected answer")}, true);
                    return;
                }
                m_crumb = QString::fromLatin1(crumb);
                then(std::nullopt, true);
            });
    });
}

void YahooSource::quoteEndpointFailed()
{
    ++m_quoteEndpointFailures;
    m_quoteEndpointRest.setRemainingTime(restAfter(m_quoteEndpointFailures));
}

void YahooSource::fetchFromQuoteEndpoint(const QStringList &symbols, bool renewed, FetchSink sink)
{
    withSession([this, symbols, renewed, sink](std::optional<UpstreamFailure> failure,
                                               bool freshSession) {
        if (failure) {
            if (holdLeftMs() > 0) { // too many requests: nothing else may go now either
                sink.finished(failure);
                return;
            }
            quoteEndpointFailed();
            fetchWithoutSession(symbols, sink);
            return;
        }
        const QUrl url =
            address(kQueryHost, QStringLiteral("/v7/finance/quote?symbols=") + symbolList(symbols) +
                                    QStringLiteral("&crumb=") + percentEncoded(m_crumb));
        get(url, [this, symbols, renewed, freshSession, sink](const UpstreamAnswer &answer) {
            if ((answer.status == 401 || answer.status == 403) && !renewed && !freshSession) {
                // The session kept from an earlier request ran out: a new cookie and
                // crumb, once. A refusal with a session just made is the endpoint's answer.
                m_crumb.clear();
                network().setCookieJar(new QNetworkCookieJar);
                fetchFromQuoteEndpoint(symbols, true, sink);
                return;
            }
            if (answer.ok() && !answer.looksLikeHtml()) {
                if (const auto quotes = parseQuoteAnswer(answer.body)) {
                    m_quoteEndpointFailures = 0;
                    sink.settled(symbols, *quotes);
                    sink.finished(std::nullopt);
                    return;
                }
            }
            if (answer.status == 429) {
                sink.finished(answer.toFailure(QStringLiteral("quote endpoint")));
                return;
            }
            if (answer.status == 401 || answer.status == 403)
                m_crumb.clear(); // a fresh session next time
            quoteEndpointFailed();
            fetchWithoutSession(symbols, sink);
        });
    });
}

void YahooSource::fetchWithoutSession(const QStringList &symbols, FetchSink sink)
{
    auto round = std::make_shared<Round>();
    round->sink = std::move(sink);
    round->pending = 1; // this call's own part: nothing finishes before all are under way
    if (m_sparkRest.hasExpired()) {
        for (qsizetype i = 0; i < symbols.size(); i += kSparkBatch)
            fetchFromSpark(round, symbols.mid(i, kSparkBatch));
    } else {
        for (const QString &symbol : symbols)
            fetchFromChart(round, symbol);
    }
    partDone(round);
}

void YahooSource::partDone(const std::shared_ptr<Round> &round)
{
    if (--round->pending == 0)
        round->sink.finished(round->failure);
}

void YahooSource::fetchFromSpark(const std::shared_ptr<Round> &round, const QStringList &symbols)
{
    ++round->pending;
    const QUrl url =
        address(kQueryHost, QStringLiteral("/v7/finance/spark?symbols=") + symbolList(symbols) +
                                QStringLiteral("&range=1d&interval=1d"));
    get(url, [this, round, symbols](const UpstreamAnswer &answer) {
        if (answer.ok() && !answer.looksLikeHtml()) {
            if (const auto quotes = parseSparkAnswer(answer.body)) {
                round->sink.settled(symbols, *quotes);
                partDone(round);
                return;
            }
        }
        const bool notOffered = (answer.status >= 400 && answer.status < 500 &&
                                 answer.status != 408 && answer.status != 429) ||
                                answer.ok();
        if (notOffered) {
            // This upstream has no spark endpoint (or not one we understand): the chart
            // endpoint takes these symbols, and the next ones for a while.
            m_sparkRest.setRemainingTime(kQuoteEndpointRestMs);
            for (const QString &symbol : symbols)
                fetchFromChart(round, symbol);
        } else {
            round->failure = answer.toFailure(QStringLiteral("spark endpoint"));
        }
        partDone(round);
    });
}

void YahooSource::fetchFromChart(const std::shared_ptr<Round> &round, const QString &symbol)
{
    ++round->pending;
    const QUrl url =
        address(kQueryHost, QStringLiteral("/v8/finance/chart/") + percentEncoded(symbol) +
                                QStringLiteral("?range=1d&interval=1d"));
    get(url, [round, symbol](const UpstreamAnswer &answer) {
        std::optional<LiveQuote> quote;
        // An unknown symbol comes as a 404 with the chart's error object.
        const bool usable = (answer.ok() || answer.status == 404) && !answer.looksLikeHtml() &&
                            parseChartAnswer(answer.body, quote);
        if (usable) {
            Quotes found;
            if (quote)
                found.insert(symbol, *quote);
            round->sink.settled({symbol}, found);
        } else if (answer.ok() && !answer.looksLikeHtml()) {
            round->failure =
                UpstreamFailure{502, QStringLiteral("chart endpoint: unexpected JSON")};
        } else {
            round->failure = answer.toFailure(QStringLiteral("chart endpoint"));
        }
        partDone(round);
    });
}
