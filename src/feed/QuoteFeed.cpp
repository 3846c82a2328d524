#include "QuoteFeed.h"

#include "FeedSources.h"
#include "MarketSource.h"

#include <QCoreApplication>
#include <QHttpServerRequest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

#if defined(Q_OS_UNIX)
#include <sys/socket.h>
#elif defined(Q_OS_WIN)
#include <winsock2.h>
#endif

QPointer<QuoteFeed> QuoteFeed::s_inProcess;

namespace {

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    case QHttpServerRequest::Method::Connect:
        return "CONNECT";
    case QHttpServerRequest::Method::Trace:
        return "TRACE";
    default:
        break;
    }
    return "UNKNOWN";
}

bool wantsClose(const QHttpServerRequest &request)
{
    for (const auto &header : request.headers()) {
        if (header.first.compare("connection", Qt::CaseInsensitive) == 0)
            return header.second.trimmed().compare("close", Qt::CaseInsensitive) == 0;
    }
    return false;
}

QByteArray httpHeaders(const FeedReply &reply, bool close)
{
    const QByteArray reason =
        reply.reasonPhrase.isEmpty() ? httpReasonPhrase(reply.status) : reply.reasonPhrase;
    QByteArray message = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reason +
                         "\r\nContent-Type: " + reply.contentType + "\r\n";
    if (!reply.omitLength)
        message += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    for (const auto &[name, value] : reply.headers)
        message += name + ": " + value + "\r\n";
    message += QByteArray("Cache-Control: no-cache\r\nConnection: ") +
               (close ? "close" : "keep-alive") + "\r\n\r\n";
    return message;
}

QByteArray httpMessage(const FeedReply &reply, bool head, bool close)
{
    QByteArray message = httpHeaders(reply, close);
    if (!head)
        message += reply.body;
    return message;
}

void send(QTcpSocket *socket, const QByteArray &message, bool close)
{
    socket->write(message);
    if (close)
        socket->disconnectFromHost(); // after what was written has gone out
}

// Closes the connection so that the peer sees a reset rather than an orderly end.
void resetConnection(QTcpSocket *socket)
{
#if defined(Q_OS_UNIX)
    const struct linger noLinger = {1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &noLinger,
                 sizeof noLinger);
#elif defined(Q_OS_WIN)
    const linger noLinger = {1, 0};
    ::setsockopt(SOCKET(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                 reinterpret_cast<const char *>(&noLinger), sizeof noLinger);
#endif
    socket->abort();
}

// Sends the body a byte at a time; the socket owns the timer, so a client that went away
// ends it.
void trickle(QTcpSocket *socket, const QByteArray &body, int intervalMs, bool close)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent, close] {
        if (*sent >= body.size()) {
            timer->stop();
            timer->deleteLater();
            if (close)
                socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid(*sent, 1));
        ++*sent;
    });
    timer->start(intervalMs);
}

// The key given, or else the one in the source's environment variable.
QString keyFor(const QString &sourceName, const QString &key)
{
    if (!FeedSources::takesKey(sourceName))
        return {};
    if (!key.trimmed().isEmpty())
        return key.trimmed();
    return qEnvironmentVariable(FeedSources::keyVariable(sourceName).constData()).trimmed();
}

} // namespace

QuoteFeed::QuoteFeed(quint64 seed, QObject *parent)
    : QuoteFeed(std::make_shared<MarketSource>(seed), parent)
{
}

QuoteFeed::QuoteFeed(std::shared_ptr<QuoteSource> source, QObject *parent)
    : QAbstractHttpServer(parent), m_source(std::move(source))
{
}

QuoteFeed::~QuoteFeed()
{
    // A source that answers its waiting requests as it goes must find the feed closing.
    m_closing = true;
    m_source.reset();
}

quint16 QuoteFeed::start(const QHostAddress &address, quint16 port)
{
    auto *server = new QTcpServer(this);
    if (!server->listen(address, port)) {
        m_error = server->errorString();
        delete server;
        return 0;
    }
    bind(server);
    m_error.clear();
    m_address = server->serverAddress();
    m_port = server->serverPort();
    return m_port;
}

void QuoteFeed::stop()
{
    for (QTcpServer *server : servers())
        server->close();
}

bool QuoteFeed::isListening() const
{
    for (QTcpServer *server : servers()) {
        if (server->isListening())
            return true;
    }
    return false;
}

QString QuoteFeed::baseUrl() const
{
    const QString host = m_address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + m_address.toString() + u']'
                             : m_address.toString();
    return QStringLiteral("http://") + host + u':' + QString::number(m_port);
}

void QuoteFeed::setSource(std::shared_ptr<QuoteSource> source)
{
    m_source = std::move(source);
}

bool QuoteFeed::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    FeedRequest feedRequest;
    feedRequest.method = methodName(request.method());
    const QUrl url = request.url();
    feedRequest.path = url.path();
    feedRequest.query = url.query(QUrl::FullyEncoded);
    ++m_requestCount;

    const QString target = feedRequest.target();
    const bool head = feedRequest.method == "HEAD";
    const bool clientCloses = wantsClose(request);
    if (!m_source) {
        send(socket, httpMessage(FeedReply::error(503), head, clientCloses), clientCloses);
        Q_EMIT requestServed(target, 503);
        return true;
    }
    // A live source answers later, from the event loop; by then the client or the feed may
    // be gone, and then the answer is dropped.
    QPointer<QTcpSocket> client(socket);
    QPointer<QuoteFeed> self(this);
    m_source->answerAsync(feedRequest,
                          [client, self, target, head, clientCloses](const FeedReply &reply) {
                              if (!self || self->m_closing)
                                  return;
                              if (!client) {
                                  Q_EMIT self->requestServed(target, 0);
                                  return;
                              }
                              self->reply(client, reply, target, head, clientCloses);
                          });
    return true;
}

void QuoteFeed::reply(QTcpSocket *socket, const FeedReply &reply, const QString &target, bool head,
                      bool clientCloses)
{
    if (reply.reset) {
        // Not from inside the server's read handler: it goes on using the socket.
        QTimer::singleShot(0, socket, [socket] { resetConnection(socket); });
        Q_EMIT requestServed(target, 0);
        return;
    }
    if (reply.delayMs < 0) { // held until the client gives up
        Q_EMIT requestServed(target, 0);
        return;
    }
    const bool close = clientCloses || reply.omitLength;
    if (reply.resetAfterBytes >= 0 && !head) {
        socket->write(httpHeaders(reply, close) + reply.body.left(reply.resetAfterBytes));
        socket->flush();
        // Long enough for what was written to reach the client before the reset.
        QTimer::singleShot(100, socket, [socket] { resetConnection(socket); });
        Q_EMIT requestServed(target, 0);
        return;
    }
    if (reply.trickleMs > 0 && !head) {
        socket->write(httpHeaders(reply, close));
        trickle(socket, reply.body, reply.trickleMs, close);
        Q_EMIT requestServed(target, reply.status);
        return;
    }
    const QByteArray message = httpMessage(reply, head, close);
    if (reply.delayMs == 0) {
        send(socket, message, close);
    } else {
        // The socket is the timer's context: a client that went away cancels the answer.
        QTimer::singleShot(reply.delayMs, socket,
                           [socket, message, close] { send(socket, message, close); });
    }
    Q_EMIT requestServed(target, reply.status);
}

void QuoteFeed::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    send(socket, httpMessage(FeedReply::error(404), false, wantsClose(request)),
         wantsClose(request));
}

bool QuoteFeed::startInProcess(quint16 port, quint64 seed, const QString &sourceName,
                               const QString &key)
{
    if (s_inProcess) {
        if (s_inProcess->isListening() && s_inProcess->port() == port) {
            setInProcessSource(sourceName, key);
            return true;
        }
        delete s_inProcess.data();
    }
    const QString sourceKey = keyFor(sourceName, key);
    auto source = FeedSources::make(sourceName, {}, seed, {}, sourceKey);
    if (!source)
        source = FeedSources::make(FeedSources::kDefault, {}, seed);
    auto *feed = new QuoteFeed(std::move(source), QCoreApplication::instance());
    if (feed->start(QHostAddress::LocalHost, port) == 0) {
        delete feed;
        return false;
    }
    feed->m_sourceName = FeedSources::normalized(sourceName);
    feed->m_sourceKey = sourceKey;
    feed->m_seed = seed;
    s_inProcess = feed;
    return true;
}

bool QuoteFeed::setInProcessSource(const QString &sourceName, const QString &key)
{
    QuoteFeed *feed = s_inProcess.data();
    if (!feed)
        return false;
    const QString name = FeedSources::normalized(sourceName);
    const QString sourceKey = keyFor(name, key);
    if (name == feed->m_sourceName && sourceKey == feed->m_sourceKey)
        return true; // keeps the source's session and cache
    // Requests still waiting on the old source are answered 503 as it goes; their clients
    // report a transfer error and keep their last values.
    feed->setSource(FeedSources::make(name, {}, feed->m_seed, {}, sourceKey));
    feed->m_sourceName = name;
    feed->m_sourceKey = sourceKey;
    return true;
}

QuoteFeed *QuoteFeed::inProcess()
{
    return s_inProcess.data();
}

void QuoteFeed::stopInProcess()
{
    delete s_inProcess.data();
}
