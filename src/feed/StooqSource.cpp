#include "StooqSource.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

// Vantora's symbols of the main US indices and Stooq's names for them.
const std::pair<const char *, const char *> kIndexNames[] = {
    {"^DJI", "^dji"}, {"^GSPC", "^spx"}, {"^IXIC", "^ndq"}, {"^NDX", "^ndx"}};

bool isUsSymbol(const QString &stooq)
{
    if (stooq.endsWith(QLatin1String(".us")))
        return true;
    for (const auto &[ours, theirs] : kIndexNames) {
        if (stooq == QLatin1String(theirs))
            return true;
    }
    return false;
}

std::optional<double> number(const QByteArray &field)
{
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

StooqSource::StooqSource(QUrl upstream, UpstreamPolicy policy, QString key)
    : UpstreamSource(QStringLiteral("Stooq"), std::move(upstream), std::move(policy),
                     std::move(key))
{
}

QString StooqSource::stooqSymbol(const QString &symbol)
{
    const QString upper = symbol.toUpper();
    for (const auto &[ours, theirs] : kIndexNames) {
        if (upper == QLatin1String(ours))
            return QString::fromLatin1(theirs);
    }
    if (symbol.startsWith(u'^') || symbol.contains(u'.'))
        return symbol.toLower();
    return symbol.toLower() + QStringLiteral(".us");
}

bool StooqSource::parseCsv(const QByteArray &csv, bool usTime, std::optional<LiveQuote> &quote)
{
    quote.reset();
    const QList<QByteArray> lines = csv.trimmed().split('\n');
    if (lines.size() < 2 || !lines.at(0).trimmed().toLower().startsWith(
                                "symbol,date,time,open,high,low,close,volume,name"))
        return false;
    const QList<QByteArray> fields = lines.at(1).trimmed().split(',');
    if (fields.size() < 9)
        return false;
    const QDate date = QDate::fromString(QString::fromLatin1(fields.at(1)), Qt::ISODate);
    const QTime time = QTime::fromString(QString::fromLatin1(fields.at(2)), Qt::ISODate);
    LiveQuote q;
    q.last = number(fields.at(6));
    if (!date.isValid() || !q.last)
        return true; // "N/D": Stooq does not know the symbol
    q.symbol = QString::fromLatin1(fields.at(0)).toUpper();
    q.index = q.symbol.startsWith(u'^');
    q.open = number(fields.at(3));
    q.high = number(fields.at(4));
    q.low = number(fields.at(5));
    if (const auto volume = number(fields.at(7)); volume && !q.index)
        q.volume = qint64(*volume);
    // The name is the rest of the line: it may hold commas.
    q.name = QString::fromUtf8(fields.mid(8).join(' ')).trimmed();
    if (time.isValid()) {
        QDateTime at(date, time, QTimeZone("Europe/Warsaw"));
        const QTimeZone newYork("America/New_York");
        if (usTime && at.isValid() && newYork.isValid())
            at = at.toTimeZone(newYork);
        q.tradeTime = at.isValid() ? at.time() : time;
    }
    quote = q;
    return true;
}

void StooqSource::fetchQuotes(const QStringList &symbols, FetchSink sink)
{
    const QString keyItem =
        key().isEmpty()
            ? QString()
            : QStringLiteral("&apikey=") + QString::fromLatin1(QUrl::toPercentEncoding(key()));
    const auto url = [this, keyItem](const QString &symbol) {
        return address(QStringLiteral("stooq.com"),
                       QStringLiteral("/q/l/?s=") +
                           QString::fromLatin1(QUrl::toPercentEncoding(stooqSymbol(symbol))) +
                           QStringLiteral("&f=sd2t2ohlcvn&h&e=csv") + keyItem);
    };
    const auto read = [this](const UpstreamAnswer &answer, const QString &symbol,
                             std::optional<LiveQuote> &quote) -> std::optional<UpstreamFailure> {
        if (answer.ok() && answer.looksLikeHtml()) // the check page for callers without a key
            return UpstreamFailure{503, hasKey() ? QStringLiteral("Stooq asks for an API key; the "
                                                                  "key given was not accepted")
                                                 : QStringLiteral("Stooq asks for an API key")};
        if (!answer.ok())
            return answer.toFailure(QStringLiteral("CSV endpoint"));
        if (!parseCsv(answer.body, isUsSymbol(stooqSymbol(symbol)), quote))
            return UpstreamFailure{502, QStringLiteral("CSV endpoint: unexpected answer")};
        return std::nullopt;
    };
    fetchEach(symbols, std::move(sink), url, read);
}
