#include "QuoteSource.h"

#include <QUrl>

QuoteSource::~QuoteSource() = default;

void QuoteSource::answerAsync(const FeedRequest &request, Done done)
{
    done(answer(request));
}

QString FeedRequest::queryValue(QStringView key) const
{
    for (QStringView item : QStringView(query).split(u'&')) {
        const qsizetype eq = item.indexOf(u'=');
        const QStringView name = eq < 0 ? item : item.left(eq);
        if (name == key)
            return eq < 0 ? QString() : QUrl::fromPercentEncoding(item.mid(eq + 1).toLatin1());
    }
    return {};
}

FeedReply FeedReply::text(const QByteArray &body, int status)
{
    FeedReply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

FeedReply FeedReply::html(const QByteArray &body, int status)
{
    FeedReply reply;
    reply.status = status;
    reply.contentType = "text/html; charset=utf-8";
    reply.body = body;
    return reply;
}

FeedReply FeedReply::error(int status)
{
    const QByteArray reason = httpReasonPhrase(status);
    return html("<html><head><title>" + QByteArray::number(status) + ' ' + reason +
                    "</title></head><body><h1>" + reason + "</h1></body></html>\n",
                status);
}

FeedReply FeedReply::delayed(const QByteArray &body, int delayMs)
{
    FeedReply reply = text(body);
    reply.delayMs = delayMs;
    return reply;
}

FeedReply FeedReply::never()
{
    FeedReply reply;
    reply.delayMs = -1;
    return reply;
}

FeedReply FeedReply::resetConnection()
{
    FeedReply reply;
    reply.reset = true;
    return reply;
}

FeedReply FeedReply::oversized(qint64 bytes)
{
    static const QByteArray line = QByteArrayLiteral(
        "\"MSFT\",56.81,2.10,\"3:17pm - <b>57.67</b>\",\"+0.86 - +1.51%\",25042156,57.51,"
        "\"57.08 - 57.68\",27.46,\"Microsoft Corporation\",0.36,0.63,30213000,39.72,58.70,"
        "\"NasdaqNM\"\r\n");
    QByteArray body;
    body.reserve(bytes);
    while (body.size() + line.size() <= bytes)
        body += line;
    body += QByteArray(bytes - body.size(), ' ');
    return text(body);
}

FeedReply FeedReply::cutOff(const QByteArray &body, qint64 bytesSent)
{
    FeedReply reply = text(body);
    reply.resetAfterBytes = qBound<qint64>(0, bytesSent, body.size());
    return reply;
}

FeedReply FeedReply::trickle(const QByteArray &body, int intervalMs)
{
    FeedReply reply = text(body);
    reply.trickleMs = qMax(1, intervalMs);
    return reply;
}

FeedReply FeedReply::failure(int status, const QString &reason)
{
    // One line, whatever the reason holds.
    QByteArray line = reason.simplified().toLatin1();
    for (char &c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    FeedReply reply = text(line + "\r\n", status);
    reply.reasonPhrase = line.left(200);
    return reply;
}

QByteArray httpReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        break;
    }
    return status >= 500 ? "Server Error" : status >= 400 ? "Client Error" : "Status";
}
