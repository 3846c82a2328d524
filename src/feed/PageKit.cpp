#include "PageKit.h"

#include <QUrl>

namespace PageKit {

namespace {

const QByteArray kStyle = QByteArrayLiteral(
    "<style>body{font-family:Arial,sans-serif;background:#f4f4f4;color:#222;margin:1.5em}"
    "h1{font-size:1.4em}h2{font-size:1.15em}table{border-collapse:collapse;background:#fff}"
    "th,td{padding:3px 10px;border-bottom:1px solid #ddd;text-align:left}"
    "td.n,th.n{text-align:right;white-space:nowrap}td.when{white-space:nowrap}code{background:#"
    "e8e8e8;padding:0 3px}"
    ".up{color:#080}.down{color:#c20}"
    ".simulated{background:#fff3c4;border:1px solid #e0c060;padding:6px 10px}"
    "a{color:#0645ad}form{margin:0 0 1em}</style>");

constexpr int kMaxSymbol = 16;
constexpr int kMaxSource = 2048;

} // namespace

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray escaped(const char *latin1)
{
    return escaped(QString::fromLatin1(latin1));
}

QByteArray page(const QString &title, const QByteArray &body)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + escaped(title) +
           "</title>" + kStyle + "</head><body>\n" + body + "</body></html>\n";
}

FeedReply problem(int status, const QString &title, const QByteArray &paragraph)
{
    return FeedReply::html(page(title, "<h1>" + escaped(title) + "</h1>\n<p>" + paragraph +
                                           " <a href=\"/l?m=US&amp;s=&amp;t=\">All symbols</a> "
                                           "&middot; <a href=\"/vantora/\">Start page</a></p>\n"),
                           status);
}

SymbolArg symbolArg(const FeedRequest &request, QStringView key)
{
    const QString text = request.queryValue(key).trimmed();
    SymbolArg arg;
    if (text.isEmpty())
        return arg;
    arg.state = SymbolArg::State::Invalid;
    if (text.size() > kMaxSymbol)
        return arg;
    for (QChar c : text) {
        const char16_t u = c.toUpper().unicode();
        if (!((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'^' || u == u'.' ||
              u == u'-' || u == u'=' || u == u'_' || u == u'&'))
            return arg;
    }
    arg.state = SymbolArg::State::Valid;
    arg.symbol = text.toUpper();
    return arg;
}

QByteArray shownText(const QString &text)
{
    QString shown = text.left(40);
    for (QChar &c : shown) {
        if (!c.isPrint())
            c = u'?';
    }
    return escaped(shown);
}

const Instrument *findInstrument(const QString &symbol)
{
    for (auto list : {stockInstruments(), indexInstruments()}) {
        for (const Instrument &in : list) {
            if (symbol.compare(QLatin1String(in.symbol), Qt::CaseInsensitive) == 0)
                return &in;
        }
    }
    return nullptr;
}

double Random::uniform()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return double(state >> 11) / double(quint64(1) << 53);
}

double Random::gaussian()
{
    double sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += uniform();
    return sum - 6.0;
}

quint64 seedOf(const QString &text)
{
    quint64 hash = 1469598103934665603ULL; // FNV-1a
    for (QChar c : text) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash ? hash : 1;
}

QTimeZone exchangeZone()
{
    static const QTimeZone zone = [] {
        QTimeZone newYork("America/New_York");
        return newYork.isValid() ? newYork : QTimeZone(-5 * 3600);
    }();
    return zone;
}

QDateTime lastTradingMoment(const QDateTime &when)
{
    const QDateTime local = when.toTimeZone(exchangeZone());
    QDate date = local.date();
    const QTime open(9, 30), close(16, 0);
    const bool weekday = date.dayOfWeek() <= 5;
    if (weekday && local.time() >= open && local.time() <= close)
        return local;
    if (!weekday || local.time() < open) {
        do
            date = date.addDays(-1);
        while (date.dayOfWeek() > 5);
    }
    return QDateTime(date, close, exchangeZone());
}

QByteArray sourceLink(const FeedRequest &request, const QByteArray &what)
{
    const QString text = request.queryValue(u"source");
    if (text.size() > kMaxSource)
        return {};
    const QUrl source(text, QUrl::StrictMode);
    if (!source.isValid() || source.host().isEmpty() ||
        (source.scheme() != u"http" && source.scheme() != u"https"))
        return {};
    const QByteArray address = escaped(source.toString());
    return "<p>With a connection to the Internet, " + what +
           " is at <a style=\"overflow-wrap:anywhere\" href=\"" + address + "\">" + address +
           "</a>.</p>\n";
}

} // namespace PageKit
