#include "FeedConfig.h"

namespace FeedConfig {

bool isFeedUrl(const QUrl &url, quint16 port)
{
    if (!url.isValid() || url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
        return false;
    const QString host = url.host().toLower();
    if (host != QLatin1String(kLoopbackAddress) && host != QLatin1String("localhost"))
        return false;
    return url.port(80) == port;
}

bool isFeedUrl(const QString &url, quint16 port)
{
    return isFeedUrl(QUrl(url.trimmed()), port);
}

} // namespace FeedConfig
