#include "FeedSources.h"

#include "FinnhubSource.h"
#include "MarketSource.h"
#include "StooqSource.h"
#include "YahooSource.h"

namespace FeedSources {

QStringList names()
{
    return {QString::fromLatin1(kDefault), QStringLiteral("yahoo"), QStringLiteral("stooq"),
            QStringLiteral("finnhub")};
}

bool isKnown(const QString &name)
{
    return names().contains(name.trimmed().toLower());
}

QString normalized(const QString &name)
{
    const QString lower = name.trimmed().toLower();
    return names().contains(lower) ? lower : QString::fromLatin1(kDefault);
}

QString displayName(const QString &name)
{
    const QString key = normalized(name);
    if (key == u"yahoo")
        return QStringLiteral("Yahoo Finance");
    if (key == u"stooq")
        return QStringLiteral("Stooq");
    if (key == u"finnhub")
        return QStringLiteral("Finnhub");
    return QStringLiteral("Simulated market");
}

bool takesKey(const QString &name)
{
    const QString key = name.trimmed().toLower();
    return key == u"stooq" || key == u"finnhub";
}

bool needsKey(const QString &name)
{
    return name.trimmed().toLower() == u"finnhub";
}

QByteArray keyVariable(const QString &name)
{
    return "VANTORA_" + name.trimmed().toUpper().toLatin1() + "_KEY";
}

std::shared_ptr<QuoteSource> make(const QString &name, const QUrl &upstream, quint64 seed,
                                  const UpstreamPolicy &policy, const QString &apiKey)
{
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String(kDefault))
        return std::make_shared<MarketSource>(seed);
    if (key == u"yahoo")
        return std::make_shared<YahooSource>(upstream, policy);
    if (key == u"stooq")
        return std::make_shared<StooqSource>(upstream, policy, apiKey);
    if (key == u"finnhub")
        return std::make_shared<FinnhubSource>(upstream, apiKey, policy);
    return nullptr;
}

} // namespace FeedSources
