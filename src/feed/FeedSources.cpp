#include "FeedSources.h"

#include "MarketSource.h"
#include "StooqSource.h"
#include "YahooSource.h"

namespace FeedSources {

QStringList names()
{
    return {QString::fromLatin1(kDefault), QStringLiteral("yahoo"), QStringLiteral("stooq")};
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
    return QStringLiteral("Simulated market");
}

std::shared_ptr<QuoteSource> make(const QString &name, const QUrl &upstream, quint64 seed,
                                  const UpstreamPolicy &policy)
{
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String(kDefault))
        return std::make_shared<MarketSource>(seed);
    if (key == u"yahoo")
        return std::make_shared<YahooSource>(upstream, policy);
    if (key == u"stooq")
        return std::make_shared<StooqSource>(upstream, policy);
    return nullptr;
}

} // namespace FeedSources
