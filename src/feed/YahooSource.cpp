#include "YahooSource.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookieJar>
#include <QTimeZone>

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

} // namespace

YahooSource::YahooSource(QUrl upstream, UpstreamPolicy policy)
    : UpstreamSource(QStringLiteral("Yahoo Finance"), std::move(upstream), policy)
{
}

std::optional<UpstreamSource::Quotes> YahooSource::parseQuoteAnswer(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonValue result = document.object()
                                  .value(QLatin1String("quoteResponse"))
                                  .toObject()
                                  .value(QLatin1String("result"));
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
    const QJsonObject meta =
        result.toArray().first().toObject().value(QLatin1String("meta")).toObject();
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

void YahooSource::fetchQuotes(const QStringList &symbols, Fetched done)
{
    if (!m_quoteEndpointRest.hasExpired()) {
        fetchFromChartEndpoint(symbols, 0, {}, QStringLiteral("resting after failures"),
                               std::move(done));
        return;
    }
    fetchFromQuoteEndpoint(symbols, false, std::move(done));
}

void YahooSource::withSession(std::function<void(std::optional<UpstreamFailure>)> then)
{
    if (!m_crumb.isEmpty()) {
        then(std::nullopt);
        return;
    }
    // The cookie page answers with an error status and sets the cookie all the same; only
    // no answer, or a server that is down or busy, means there is no cookie.
    get(address(kCookieHost, QStringLiteral("/")), [this, then](const UpstreamAnswer &cookie) {
        if (cookie.status == 0 || cookie.status == 429 || cookie.status >= 500) {
            then(cookie.toFailure(QStringLiteral("cookie")));
            return;
        }
        get(address(kQueryHost, QStringLiteral("/v1/test/getcrumb")),
            [this, then](const UpstreamAnswer &answer) {
                const QByteArray crumb = answer.body.trimmed();
                if (!answer.ok() || answer.looksLikeHtml()) {
                    then(answer.toFailure(QStringLiteral("crumb")));
                    return;
                }
                if (crumb.isEmpty() || crumb.size() > 64 || crumb.contains(' ') ||
                    crumb.contains('{')) {
                    then(UpstreamFailure{502, QStringLiteral("crumb: unexpected answer")});
                    return;
                }
                m_crumb = QString::fromLatin1(crumb);
                then(std::nullopt);
            });
    });
}

void YahooSource::fetchFromQuoteEndpoint(const QStringList &symbols, bool renewed, Fetched done)
{
    withSession([this, symbols, renewed, done](std::optional<UpstreamFailure> failure) {
        if (failure) {
            m_quoteEndpointRest.setRemainingTime(kQuoteEndpointRestMs);
            fetchFromChartEndpoint(symbols, 0, {}, failure->reason, done);
            return;
        }
        QStringList encoded;
        for (const QString &symbol : symbols)
            encoded.append(percentEncoded(symbol));
        const QUrl url =
            address(kQueryHost, QStringLiteral("/v7/finance/quote?symbols=") + encoded.join(u',') +
                                    QStringLiteral("&crumb=") + percentEncoded(m_crumb));
        get(url, [this, symbols, renewed, done](const UpstreamAnswer &answer) {
            if ((answer.status == 401 || answer.status == 403) && !renewed) {
                // The session ran out: a new cookie and crumb, once.
                m_crumb.clear();
                network().setCookieJar(new QNetworkCookieJar);
                fetchFromQuoteEndpoint(symbols, true, done);
                return;
            }
            QString trouble;
            if (answer.ok() && !answer.looksLikeHtml()) {
                if (const auto quotes = parseQuoteAnswer(answer.body)) {
                    done(std::nullopt, *quotes);
                    return;
                }
                trouble = QStringLiteral("quote endpoint: unexpected JSON");
            } else {
                trouble = answer.toFailure(QStringLiteral("quote endpoint")).reason;
                if (answer.status == 401 || answer.status == 403)
                    m_crumb.clear(); // a fresh session next time
            }
            m_quoteEndpointRest.setRemainingTime(kQuoteEndpointRestMs);
            fetchFromChartEndpoint(symbols, 0, {}, trouble, done);
        });
    });
}

void YahooSource::fetchFromChartEndpoint(const QStringList &symbols, qsizetype next, Quotes found,
                                         const QString &quoteEndpointTrouble, Fetched done)
{
    if (next >= symbols.size()) {
        done(std::nullopt, found);
        return;
    }
    const QString symbol = symbols.at(next);
    const QUrl url =
        address(kQueryHost, QStringLiteral("/v8/finance/chart/") + percentEncoded(symbol) +
                                QStringLiteral("?range=1d&interval=1d"));
    get(url, [this, symbols, next, found, quoteEndpointTrouble, done,
              symbol](const UpstreamAnswer &answer) mutable {
        std::optional<LiveQuote> quote;
        // An unknown symbol comes as a 404 with the chart's error object.
        const bool usable = (answer.ok() || answer.status == 404) && !answer.looksLikeHtml() &&
                            parseChartAnswer(answer.body, quote);
        if (!usable) {
            UpstreamFailure failure = answer.toFailure(QStringLiteral("chart endpoint"));
            if (answer.ok() && !answer.looksLikeHtml())
                failure = {502, QStringLiteral("chart endpoint: unexpected JSON")};
            failure.reason = quoteEndpointTrouble + QStringLiteral("; ") + failure.reason;
            done(failure, {});
            return;
        }
        if (quote)
            found.insert(symbol, *quote);
        fetchFromChartEndpoint(symbols, next + 1, std::move(found), quoteEndpointTrouble, done);
    });
}
