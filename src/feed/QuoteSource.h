#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

// One request to the feed, taken from the HTTP request line.
struct FeedRequest
{
    QByteArray method; // "GET", "HEAD" ...
    QString path;      // decoded path, "/download/quotes.csv"
    QString query;     // the query as received (percent-encoded), without the "?"
    // Path and query as they went over the wire: "/download/quotes.csv?f=...&s=msft,"
    QString target() const { return query.isEmpty() ? path : path + u'?' + query; }
    // The value of a query item, percent-decoded; empty when missing. The value runs to
    // the next "&", so "f=spelcvomrn=.csv" gives "spelcvomrn=.csv".
    QString queryValue(QStringView key) const;
};

// What the feed sends back for one request.
struct FeedReply
{
    int status = 200;
    QByteArray contentType = "text/plain; charset=iso-8859-1";
    QByteArray body;
    // Further headers ("Retry-After", "120").
    QList<std::pair<QByteArray, QByteArray>> headers;
    // Milliseconds to wait before answering; negative: never answer (the client must
    // give up or cancel).
    int delayMs = 0;
    // Drop the connection with a TCP reset instead of answering.
    bool reset = false;
    // Send no Content-Length: the body ends when the server closes the connection.
    bool omitLength = false;
    // Send the headers and this many bytes of the body, then drop the connection with a
    // reset (negative: the whole body).
    qint64 resetAfterBytes = -1;
    // Send the body one byte at a time, one every this many milliseconds (0: at once).
    int trickleMs = 0;
    // The status line's reason phrase; empty: the standard one for the status. The feed's
    // own failures carry their one-line reason here too, so that a client that does not
    // read an error's body still has it.
    QByteArray reasonPhrase;

    static FeedReply text(const QByteArray &body, int status = 200);
    static FeedReply html(const QByteArray &body, int status = 200);
    static FeedReply error(int status); // an HTTP error page
    static FeedReply delayed(const QByteArray &body, int delayMs);
    static FeedReply never(); // holds the request unanswered
    static FeedReply resetConnection();
    static FeedReply oversized(qint64 bytes); // a body of this many bytes of quote text
    // The headers and the first bytes of the body, then a reset.
    static FeedReply cutOff(const QByteArray &body, qint64 bytesSent);
    // The body one byte every intervalMs.
    static FeedReply trickle(const QByteArray &body, int intervalMs);
    // The feed's own failure: a status (502, 503) and a one-line reason as the body.
    static FeedReply failure(int status, const QString &reason);
};

// Something that answers the feed's requests. Every call runs on the feed's thread.
class QuoteSource
{
public:
    using Done = std::function<void(FeedReply)>;

    virtual ~QuoteSource();
    // The answer that can be given at once.
    virtual FeedReply answer(const FeedRequest &request) = 0;
    // Answers by calling done once, now or later from the event loop; never blocks. A
    // source that must ask another server first answers here. By default: answer().
    virtual void answerAsync(const FeedRequest &request, Done done);
};

// Reason text for an HTTP status ("Not Found").
QByteArray httpReasonPhrase(int status);
