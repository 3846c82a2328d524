#include "FeedSources.h"

#include "FinnhubSource.h"
#include "MarketSource.h"
#include "StooqSource.h"
#include "YahooSource.h"

#include <QTimer>

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

void check(const QString &name, const QString &key, std::function<void(const QString &)> done,
           const QUrl &upstream, int timeoutMs)
{
    const QString shown = displayName(name);
    auto source = std::make_shared<std::shared_ptr<QuoteSource>>(
        isKnown(name) && normalized(name) != QLatin1String(kDefault)
            ? make(name, upstream, FeedConfig::kDefaultSeed, {}, key)
            : nullptr);
    auto finished = std::make_shared<bool>(false);
    auto finish = [source, finished, done](const QString &message) {
        if (*finished)
            return;
        *finished = true;
        // The source goes from the event loop, never from inside its own callback.
        QTimer::singleShot(0, [source, done, message] {
            source->reset();
            done(message);
        });
    };
    if (!*source) {
        finish(shown + QStringLiteral(" needs no test: it is not a live source"));
        return;
    }
    FeedRequest request;
    request.method = "GET";
    request.path = QStringLiteral("/download/quotes.csv");
    request.query = QStringLiteral("f=sl1&s=msft");
    (*source)->answerAsync(request, [finish, shown](const FeedReply &reply) {
        if (reply.status != 200) {
            finish(QString::fromUtf8(reply.body).trimmed());
            return;
        }
        const QByteArray last = reply.body.split(',').value(1).trimmed();
        bool isNumber = false;
        last.toDouble(&isNumber);
        finish(isNumber
                   ? QString(shown + QStringLiteral(" answered: MSFT ") + QString::fromLatin1(last))
                   : QString(shown + QStringLiteral(" answered, but without a price for MSFT")));
    });
    QTimer::singleShot(timeoutMs, [finish, shown, timeoutMs] {
        finish(QStringLiteral("No answer from %1 within %2 s").arg(shown).arg(timeoutMs / 1000));
    });
}

} // namespace FeedSources
