#include "FinnhubSource.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

namespace {

std::optional<double> number(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isDouble() ? std::optional(value.toDouble()) : std::nullopt;
}

// A 403 for a symbol outside the plan says so; a refused key says something else.
bool outsidePlan(const QByteArray &body)
{
    const QString error =
        QJsonDocument::fromJson(body).object().value(QLatin1String("error")).toString().toLower();
    return error.contains(QLatin1String("access"));
}

} // namespace

namespace {

UpstreamPolicy withMinuteLimit(UpstreamPolicy policy)
{
    policy.limits.append(RateLimit{FinnhubSource::kCallsPerMinute, 60 * 1000 + 500});
    return policy;
}

} // namespace

FinnhubSource::FinnhubSource(QUrl upstream, QString key, UpstreamPolicy policy)
    : UpstreamSource(QStringLiteral("Finnhub"), std::move(upstream),
                     withMinuteLimit(std::move(policy)), std::move(key))
{
}

bool FinnhubSource::parseQuote(const QByteArray &json, const QString &symbol,
                               std::optional<LiveQuote> &quote)
{
    quote.reset();
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return false;
    const QJsonObject o = document.object();
    if (!o.contains(QLatin1String("c")))
        return false;
    LiveQuote q;
    q.symbol = symbol.toUpper();
    q.last = number(o, "c");
    const auto epoch = number(o, "t");
    // A symbol it does not carry answers with every value 0 (or null).
    if (!q.last || *q.last == 0 || !epoch || *epoch <= 0)
        return true;
    q.index = q.symbol.startsWith(u'^');
    q.change = number(o, "d");
    q.changePercent = number(o, "dp");
    q.high = number(o, "h");
    q.low = number(o, "l");
    q.open = number(o, "o");
    q.previousClose = number(o, "pc");
    // US symbols (no exchange suffix) in New York time; others have no zone to go by.
    const QTimeZone newYork("America/New_York");
    if (!q.symbol.contains(u'.') && newYork.isValid())
        q.tradeTime = QDateTime::fromSecsSinceEpoch(qint64(*epoch), newYork).time();
    q.deriveChange();
    quote = q;
    return true;
}

void FinnhubSource::fetchQuotes(const QStringList &symbols, FetchSink sink)
{
    if (key().isEmpty()) {
        sink.finished(
            UpstreamFailure{503, QStringLiteral("Finnhub needs an API key, and none is set")});
        return;
    }
    // Index levels are not on the free plan: unknown without asking.
    QStringList indices, stocks;
    for (const QString &symbol : symbols)
        (symbol.startsWith(u'^') ? indices : stocks).append(symbol);
    if (!indices.isEmpty())
        sink.settled(indices, {});
    const auto url = [this](const QString &symbol) {
        return address(QStringLiteral("finnhub.io"),
                       QStringLiteral("/api/v1/quote?symbol=") +
                           QString::fromLatin1(QUrl::toPercentEncoding(symbol)) +
                           QStringLiteral("&token=") +
                           QString::fromLatin1(QUrl::toPercentEncoding(key())));
    };
    const auto read = [](const UpstreamAnswer &answer, const QString &symbol,
                         std::optional<LiveQuote> &quote) -> std::optional<UpstreamFailure> {
        if (answer.status == 403 && outsidePlan(answer.body))
            return std::nullopt; // unknown
        if (answer.status == 401 || answer.status == 403)
            return UpstreamFailure{503, QStringLiteral("the Finnhub key was refused")};
        if (!answer.ok() || answer.looksLikeHtml())
            return answer.toFailure(QStringLiteral("quote API"));
        if (!parseQuote(answer.body, symbol, quote))
            return UpstreamFailure{502, QStringLiteral("quote API: unexpected answer")};
        return std::nullopt;
    };
    fetchEach(stocks, std::move(sink), url, read);
}
