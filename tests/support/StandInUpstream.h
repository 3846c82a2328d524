#pragma once

// A stand-in for the live sources' servers on a loopback port, for the tests and the
// benchmark: Yahoo's quote, spark and chart endpoints, Stooq's CSV endpoint and Finnhub's
// quote API, answered from a table of prices, after a latency, recording every request.
// It refuses the quote endpoint as the real one does, and can leave spark out, answer 429
// with a Retry-After, show Stooq's check page and refuse a Finnhub key.
#include "Instruments.h"
#include "QuoteFeed.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>
#include <memory>

class StandInUpstream : public QuoteSource
{
public:
    int latencyMs = 0;
    bool sparkOffered = true;
    QString stooqKey; // empty: Stooq answers everyone; else the check page without it
    QString finnhubKey = QStringLiteral("fh-key");
    int tooManyFor = 0;    // answer this many next requests with 429 ...
    QByteArray retryAfter; // ... and this Retry-After (none when empty)

    QStringList requests;   // path and query as received, oldest first
    QList<qint64> arrivals; // ms since the stand-in started

    StandInUpstream() { m_clock.start(); }

    FeedReply answer(const FeedRequest &request) override
    {
        requests.append(request.target());
        arrivals.append(m_clock.elapsed());
        FeedReply reply = route(request);
        reply.delayMs = latencyMs;
        return reply;
    }

    int count(QStringView pathStart) const
    {
        return int(std::count_if(requests.cbegin(), requests.cend(),
                                 [&](const QString &r) { return r.startsWith(pathStart); }));
    }

    // The chart endpoint's summary of a symbol it knows.
    QJsonObject meta(const QString &symbol) const
    {
        for (const auto list : {stockInstruments(), indexInstruments()}) {
            for (const Instrument &in : list) {
                if (symbol != QLatin1String(in.symbol))
                    continue;
                const double price = in.price;
                return QJsonObject{{"symbol", symbol},
                                   {"shortName", QLatin1String(in.name)},
                                   {"fullExchangeName", QLatin1String(in.exchange)},
                                   {"instrumentType", symbol.startsWith(u'^') ? "INDEX" : "EQUITY"},
                                   {"regularMarketTime", 1715976000},
                                   {"gmtoffset", -14400},
                                   {"regularMarketPrice", price},
                                   {"previousClose", in.price},
                                   {"regularMarketDayLow", price * 0.99},
                                   {"regularMarketDayHigh", price * 1.01},
                                   {"regularMarketVolume", 1000000}};
            }
        }
        return {};
    }

private:
    static FeedReply json(const QJsonObject &object, int status = 200)
    {
        FeedReply reply =
            FeedReply::text(QJsonDocument(object).toJson(QJsonDocument::Compact), status);
        reply.contentType = "application/json";
        return reply;
    }

    FeedReply route(const FeedRequest &request)
    {
        if (tooManyFor > 0) {
            --tooManyFor;
            FeedReply reply = FeedReply::error(429);
            if (!retryAfter.isEmpty())
                reply.headers.append({"Retry-After", retryAfter});
            return reply;
        }
        const QString &path = request.path;
        if (path == u"/")
            return FeedReply::error(404); // the cookie page
        if (path == u"/v1/test/getcrumb")
            return FeedReply::text("crumb");
        if (path == u"/v7/finance/quote") // refuses every caller, as the real one does
            return json({{"finance", QJsonObject{{"error", QJsonObject{{"description",
                                                                        "User is unable to access "
                                                                        "this feature"}}}}}},
                        401);
        if (path == u"/v7/finance/spark") {
            if (!sparkOffered)
                return FeedReply::error(404);
            QJsonArray result;
            for (const QString &s : request.queryValue(u"symbols").split(u',')) {
                const QJsonObject m = meta(s);
                result.append(
                    QJsonObject{{"symbol", s},
                                {"response", m.isEmpty() ? QJsonArray{}
                                                         : QJsonArray{QJsonObject{{"meta", m}}}}});
            }
            return json({{"spark", QJsonObject{{"result", result}, {"error", QJsonValue()}}}});
        }
        if (path.startsWith(u"/v8/finance/chart/")) {
            const QJsonObject m = meta(QUrl::fromPercentEncoding(path.mid(18).toLatin1()));
            if (m.isEmpty())
                return json({{"chart", QJsonObject{{"result", QJsonValue()},
                                                   {"error", QJsonObject{{"code", "Not Found"}}}}}},
                            404);
            return json({{"chart", QJsonObject{{"result", QJsonArray{QJsonObject{{"meta", m}}}},
                                               {"error", QJsonValue()}}}});
        }
        if (path == u"/q/l/") {
            if (!stooqKey.isEmpty() && request.queryValue(u"apikey") != stooqKey)
                return FeedReply::html("<!DOCTYPE html><html><body><p>Checking your browser"
                                       "</p></body></html>");
            QString symbol = request.queryValue(u"s").toUpper();
            symbol.chop(symbol.endsWith(QLatin1String(".US")) ? 3 : 0);
            const QJsonObject m = meta(symbol);
            const QByteArray head = "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\r\n";
            if (m.isEmpty())
                return FeedReply::text(head + symbol.toLatin1() +
                                       ",N/D,N/D,N/D,N/D,N/D,N/D,N/D,N/D\r\n");
            return FeedReply::text(
                head + symbol.toLatin1() + ".US,2024-05-17,22:00:09," +
                QByteArray::number(m.value("regularMarketPrice").toDouble(), 'f', 2) + ",1,1," +
                QByteArray::number(m.value("regularMarketPrice").toDouble(), 'f', 2) + ",100," +
                m.value("shortName").toString().toUtf8() + "\r\n");
        }
        if (path == u"/api/v1/quote") {
            if (request.queryValue(u"token") != finnhubKey)
                return json({{"error", "Invalid API key."}}, 401);
            const QJsonObject m = meta(request.queryValue(u"symbol"));
            if (m.isEmpty())
                return json({{"c", 0},
                             {"d", QJsonValue()},
                             {"dp", QJsonValue()},
                             {"h", 0},
                             {"l", 0},
                             {"o", 0},
                             {"pc", 0},
                             {"t", 0}});
            const double c = m.value("regularMarketPrice").toDouble();
            const double pc = m.value("previousClose").toDouble();
            return json({{"c", c},
                         {"d", c - pc},
                         {"dp", (c - pc) / pc * 100},
                         {"h", c},
                         {"l", c},
                         {"o", pc},
                         {"pc", pc},
                         {"t", 1715976000}});
        }
        return FeedReply::error(404);
    }

    QElapsedTimer m_clock;
};

// The stand-in listening on a free loopback port.
struct StandInServer
{
    std::shared_ptr<StandInUpstream> upstream = std::make_shared<StandInUpstream>();
    QuoteFeed server{upstream};
    QUrl url;
    StandInServer() { url = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server.start())); }
};
