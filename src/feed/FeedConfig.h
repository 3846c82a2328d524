#pragma once

#include <QString>
#include <QUrl>

// Where the built-in quote feed listens and the request addresses that point at it.
namespace FeedConfig {

// The feed answers on the loopback interface only, on this port unless told otherwise.
inline constexpr quint16 kDefaultPort = 47110;
inline constexpr char kLoopbackAddress[] = "127.0.0.1";

// The seed of the simulated market when none is given: the same seed gives the same
// prices for the same sequence of requests.
inline constexpr quint64 kDefaultSeed = 1;
// The quote source a new store uses: the simulated market.
inline constexpr char kDefaultSource[] = "simulated";

// The feed's own address on its default port: "http://127.0.0.1:47110". Every address
// below starts with it, so the port is written once, above.
inline QString defaultBaseUrl()
{
    return QStringLiteral("http://") + QLatin1String(kLoopbackAddress) + QLatin1Char(':') +
           QString::number(kDefaultPort);
}

// Default quote addresses of the settings; the symbol list is appended to each.
inline QString defaultStockUrl()
{
    return defaultBaseUrl() + QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=");
}
inline QString defaultMarketUrl()
{
    return defaultBaseUrl() + QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=");
}
inline QString defaultIndicesUrl()
{
    return defaultBaseUrl() + QStringLiteral("/m1?u");
}

// The real-time request template: fixed in the program, not a setting.
inline QString realTimeStockUrl()
{
    return defaultBaseUrl() + QStringLiteral("/download/quotes.csv?f=sb3b2k1k2vom2r2n=.csv&s=");
}

// Vantora's own start page, served by the feed.
inline QString startPageUrl()
{
    return defaultBaseUrl() + QStringLiteral("/vantora/");
}

// The feed's page that stands in for a live medium ("tv" or "radio") on a machine that may be
// offline: it says that live media need the Internet and links to the source's address.
inline QString mediaPageUrl(const QString &kind, const QString &source)
{
    return defaultBaseUrl() + QStringLiteral("/media/") + kind + QStringLiteral("?source=") +
           QString::fromLatin1(QUrl::toPercentEncoding(source));
}

// True when the address is a plain HTTP address of the feed: host 127.0.0.1 or
// "localhost" (any letter case) and the given port (80 when the address names none).
bool isFeedUrl(const QUrl &url, quint16 port = kDefaultPort);
bool isFeedUrl(const QString &url, quint16 port = kDefaultPort);

} // namespace FeedConfig
