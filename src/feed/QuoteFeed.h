#pragma once

#include "FeedConfig.h"
#include "QuoteSource.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QPointer>

#include <memory>

class QTcpSocket;

// The built-in quote service: an HTTP server that hands every request to its source and
// sends back what the source answers. It works on the socket itself rather than through
// QHttpServer's routes, because the scripted source must be able to hold an answer back
// for a while, or for ever, and to drop a connection with a reset, and a live source
// answers only when its upstream server has: a route's handler can do none of these
// without a thread of its own, and the in-process feed shares the GUI thread.
//
// Answers carry Content-Length and keep the connection open unless the client asked to
// close it.
class QuoteFeed : public QAbstractHttpServer
{
    Q_OBJECT

public:
    // A feed over a simulated market with the given seed.
    explicit QuoteFeed(quint64 seed = FeedConfig::kDefaultSeed, QObject *parent = nullptr);
    explicit QuoteFeed(std::shared_ptr<QuoteSource> source, QObject *parent = nullptr);
    ~QuoteFeed() override;

    // Listens on address and port (0: any free port). Returns the port, or 0 when it
    // cannot listen (errorString() tells why, e.g. the port is taken).
    quint16 start(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    // Stops accepting connections.
    void stop();
    bool isListening() const;
    quint16 port() const { return m_port; }
    QHostAddress address() const { return m_address; }
    QString errorString() const { return m_error; }
    // "http://127.0.0.1:47110"
    QString baseUrl() const;

    std::shared_ptr<QuoteSource> source() const { return m_source; }
    void setSource(std::shared_ptr<QuoteSource> source);
    quint64 requestCount() const { return m_requestCount; }

    // Starts a feed inside this process, on the loopback address, over the named source
    // (FeedSources; an unknown name gives the simulated market). Returns false when the
    // port is taken (another feed, or another program, already listens there). Calling it
    // again while the in-process feed runs on that port returns true and switches it to
    // the named source. Needs a QCoreApplication, which owns the feed.
    // A keyed source takes key; without one, the key in the source's environment variable
    // (FeedSources::keyVariable), if any.
    static bool startInProcess(quint16 port = FeedConfig::kDefaultPort,
                               quint64 seed = FeedConfig::kDefaultSeed,
                               const QString &sourceName = QStringLiteral("simulated"),
                               const QString &key = {});
    // Switches the running in-process feed to the named source; naming the source and key
    // it already has changes nothing (its cache is kept). False when no in-process feed runs.
    static bool setInProcessSource(const QString &sourceName, const QString &key = {});
    // The feed started by startInProcess, or nullptr.
    static QuoteFeed *inProcess();
    // The source name of the in-process feed ("simulated", "yahoo", "stooq").
    QString sourceName() const { return m_sourceName; }
    static void stopInProcess();

Q_SIGNALS:
    // After a request was answered (status 0: held back or connection reset).
    void requestServed(const QString &target, int status);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void reply(QTcpSocket *socket, const FeedReply &reply, const QString &target, bool head,
               bool clientCloses);

    std::shared_ptr<QuoteSource> m_source;
    QString m_sourceName = QStringLiteral("simulated");
    QString m_sourceKey; // in memory only
    quint64 m_seed = FeedConfig::kDefaultSeed;
    bool m_closing = false;
    QHostAddress m_address;
    quint16 m_port = 0;
    QString m_error;
    quint64 m_requestCount = 0;

    static QPointer<QuoteFeed> s_inProcess;
};
