#include "FinnhubSource.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <memory>

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
    struct Round
    {
        FetchSink sink;
        int pending = 1;
        std::optional<UpstreamFailure> failure;
    };
    auto round = std::make_shared<Round>();
    round->sink = std::move(sink);
    auto partDone = [round] {
        if (--round->pending == 0)
            round->sink.finished(round->failure);
    };
    if (key().isEmpty()) {
        round->failure =
            UpstreamFailure{503, QStringLiteral("Finnhub needs an API key, and none is set")};
        partDone();
        return;
    }
    QStringList indices;
    for (const QString &symbol : symbols) {
        if (symbol.startsWith(u'^')) {
            indices.append(symbol);
            continue;
        }
        ++round->pending;
        const QUrl url = address(QStringLiteral("finnhub.io"),
                                 QStringLiteral("/api/v1/quote?symbol=") +
                                     QString::fromLatin1(QUrl::toPercentEncoding(symbol)) +
                                     QStringLiteral("&token=") +
                                     QString::fromLatin1(QUrl::toPercentEncoding(key())));
        get(url, [round, symbol, partDone](const UpstreamAnswer &answer) {
            std::optional<LiveQuote> quote;
            if (answer.status == 403 && outsidePlan(answer.body)) {
                round->sink.settled({symbol}, {});
            } else if (answer.status == 401 || answer.status == 403) {
                round->failure =
                    UpstreamFailure{503, QStringLiteral("the Finnhub key was refused")};
            } else if (!answer.ok() || answer.looksLikeHtml()) {
                round->failure = answer.toFailure(QStringLiteral("quote API"));
            } else if (!parseQuote(answer.body, symbol, quote)) {
                round->failure =
                    UpstreamFailure{502, QStringLiteral("quote API: unexpected answer")};
            } else {
                Quotes found;
                if (quote)
                    found.insert(symbol, *quote);
                round->sink.settled({symbol}, found);
            }
            partDone();
        });
    }
    if (!indices.isEmpty())
        round->sink.settled(indices, {});
    partDone();
}
