#include "Colors.h"

#include <limits>

std::optional<qint32> Colors::parse(const QString &text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        if (t.endsWith(QLatin1Char('&')))
            t.chop(1);
        if (t.isEmpty() || t.size() > 8)
            return std::nullopt;
        const quint32 v = t.toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        return qint32(v);
    }
    const qint64 v = t.toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return qint32(quint32(v));
}
