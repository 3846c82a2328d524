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

StooqSource::StooqSource(QUrl upstream, UpstreamPolicy policy)
    : UpstreamSource(QStringLiteral("Stooq"), std::move(upstream), policy)
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

void StooqSource::fetchQuotes(const QStringList &symbols, Fetched done)
{
    fetchFrom(symbols, 0, {}, std::move(done));
}

void StooqSource::fetchFrom(const QStringList &symbols, qsizetype next, Quotes found, Fetched done)
{
    if (next >= symbols.size()) {
        done(std::nullopt, found);
        return;
    }
    const QString symbol = symbols.at(next);
    const QString stooq = stooqSymbol(symbol);
    const QUrl url =
        address(QStringLiteral("stooq.com"),
                QStringLiteral("/q/l/?s=") + QString::fromLatin1(QUrl::toPercentEncoding(stooq)) +
                    QStringLiteral("&f=sd2t2ohlcvn&h&e=csv"));
    get(url,
        [this, symbols, next, found, done, symbol, stooq](const UpstreamAnswer &answer) mutable {
            std::optional<LiveQuote> quote;
            if (!answer.ok() || answer.looksLikeHtml()) {
                done(answer.toFailure(QStringLiteral("CSV endpoint")), {});
                return;
            }
            if (!parseCsv(answer.body, isUsSymbol(stooq), quote)) {
                done(UpstreamFailure{502, QStringLiteral("CSV endpoint: unexpected answer")}, {});
                return;
            }
            if (quote)
                found.insert(symbol, *quote);
            fetchFrom(symbols, next + 1, std::move(found), done);
        });
}
