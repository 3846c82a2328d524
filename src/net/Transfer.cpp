#include "Transfer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

// Names under the reserved top-level domain "invalid" never resolve (RFC 6761); they
// are refused here without asking a resolver.
bool isReservedInvalidName(const QString &host)
{
    const QString h = host.toLower();
    return h == u"invalid" || h.endsWith(u".invalid") || h.endsWith(u".invalid.");
}

QString hostAndPort(const QUrl &url)
{
    return url.host() + u':' + QString::number(url.port(url.scheme() == u"https" ? 443 : 80));
}

} // namespace

Transfer::Transfer(QObject *parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    m_manager->setAutoDeleteReplies(false);
}

Transfer::~Transfer()
{
    if (m_reply) {
        m_abort = Abort::Cancelled;
        m_reply->abort();
    }
    if (m_loop)
        m_loop->quit();
}

QNetworkProxy Transfer::networkProxy() const
{
    switch (m_accessType) {
    case AccessType::Direct:
        return QNetworkProxy(QNetworkProxy::NoProxy);
    case AccessType::NamedProxy: {
        QString text = m_proxyText.trimmed();
        if (text.startsWith(u"http://", Qt::CaseInsensitive))
            text = text.mid(7);
        QString host = text;
        quint16 port = 80;
        const qsizetype colon = text.lastIndexOf(u':');
        if (colon >= 0 && !text.endsWith(u']')) { // "[::1]" alone has no port
            host = text.left(colon);
            bool ok = false;
            const uint value = text.mid(colon + 1).toUInt(&ok);
            if (ok && value > 0 && value <= 65535)
                port = quint16(value);
        }
        if (host.startsWith(u'[') && host.endsWith(u']'))
            host = host.mid(1, host.size() - 2);
        if (host.isEmpty())
            break; // nothing named: the default applies
        return QNetworkProxy(QNetworkProxy::HttpProxy, host, port);
    }
    case AccessType::Default:
        break;
    }
    return QNetworkProxy(QNetworkProxy::DefaultProxy);
}

QString Transfer::proxyNote() const
{
    if (m_activeProxy.type() != QNetworkProxy::HttpProxy)
        return {};
    return QStringLiteral(" (through proxy %1:%2)")
        .arg(m_activeProxy.hostName())
        .arg(m_activeProxy.port());
}

void Transfer::setResult(int code, const QString &info)
{
    m_code = code;
    m_info = info;
}

QString Transfer::OpenURL(const QString &url)
{
    if (m_closed) {
        // The program is ending: nothing new starts, and no nested wait can hold it up.
        setResult(ErrorCancelled, tr("The request was cancelled"));
        return {};
    }
    if (m_executing) {
        // The running transfer is not disturbed; its own result replaces this one.
        setResult(ErrorBusy, tr("Another request is still executing"));
        return {};
    }
    setResult(NoError, QString());
    m_httpStatus = 0;
    m_contentType.clear();
    m_body.clear();
    m_abort = Abort::None;
    m_activeProxy = networkProxy();
    m_executing = true;
    QPointer<Transfer> self(this);
    Q_EMIT StateChanged(State::Connecting);
    if (!self)
        return {};

    const QUrl target(url.trimmed(), QUrl::TolerantMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || (scheme != u"http" && scheme != u"https") || target.host().isEmpty()) {
        setResult(ErrorInvalidUrl, tr("Invalid address: %1").arg(url));
    } else if (isReservedInvalidName(target.host()) &&
               m_activeProxy.type() != QNetworkProxy::HttpProxy) {
        setResult(ErrorHostNotFound, tr("Host not found: %1").arg(target.host()));
    } else if (m_abort == Abort::None) { // not cancelled from the Connecting handler
        QNetworkRequest request(target);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Vantora/2.0"));
        m_manager->setProxy(m_activeProxy);

        QNetworkReply *reply = m_manager->get(request);
        m_reply = reply;
        QEventLoop loop;
        m_loop = &loop;
        connect(reply, &QNetworkReply::metaDataChanged, this, &Transfer::checkHeaders);
        connect(reply, &QNetworkReply::readyRead, this, &Transfer::readBody);
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [this] { abortWith(Abort::TimedOut); });
        if (m_timeoutSeconds > 0)
            timer.start(m_timeoutSeconds * 1000);

        if (!reply->isFinished())
            loop.exec(); // window events keep running
        if (!self)
            return {}; // destroyed while waiting: the reply went with the manager
        if (!reply->isFinished()) {
            // The wait was ended from outside (the program quits): what arrived so far is
            // part of an answer, never an answer.
            abortWith(Abort::Cancelled);
            if (!reply->isFinished())
                reply->abort();
        }
        timer.stop();
        m_loop = nullptr;
        m_reply = nullptr;
        conclude(reply);
        reply->deleteLater();
    } else {
        setResult(ErrorCancelled, tr("The request was cancelled"));
    }

    Q_EMIT StateChanged(m_code == NoError ? State::Completed : State::Failed);
    if (!self)
        return {};
    m_executing = false;
    const QString body = m_code == NoError ? QString::fromLatin1(m_body) : QString();
    m_body.clear();
    return body;
}

void Transfer::shutdown()
{
    m_closed = true;
    Cancel();
}

void Transfer::Cancel()
{
    if (m_executing)
        abortWith(Abort::Cancelled);
}

void Transfer::abortWith(Abort reason)
{
    if (m_abort == Abort::None)
        m_abort = reason;
    if (m_reply && m_reply->isRunning())
        m_reply->abort(); // finished follows, which ends the wait
}

void Transfer::checkHeaders()
{
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        // An error page is not an answer: don't read it.
        m_httpStatus = status;
        abortWith(Abort::HttpStatus);
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxBodyBytes)
        abortWith(Abort::TooLarge);
}

void Transfer::readBody()
{
    if (!m_reply || m_abort != Abort::None)
        return;
    while (m_reply->bytesAvailable() > 0) {
        // Never take more than one byte past the limit.
        const qint64 room = kMaxBodyBytes - m_body.size() + 1;
        m_body += m_reply->read(qMin(m_reply->bytesAvailable(), room));
        if (m_body.size() > kMaxBodyBytes) {
            m_body.clear();
            abortWith(Abort::TooLarge);
            return;
        }
    }
}

void Transfer::conclude(QNetworkReply *reply)
{
    const QUrl url = reply->url();
    if (m_httpStatus == 0)
        m_httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const QString note = proxyNote();

    switch (m_abort) {
    case Abort::Cancelled:
        setResult(ErrorCancelled, tr("The request was cancelled") + note);
        return;
    case Abort::TimedOut:
        setResult(
            ErrorTimedOut,
            tr("No answer from %1 within %2 seconds").arg(hostAndPort(url)).arg(m_timeoutSeconds) +
                note);
        return;
    case Abort::TooLarge:
        setResult(ErrorBodyTooLarge, tr("The answer from %1 is larger than %2 bytes")
                                             .arg(hostAndPort(url))
                                             .arg(kMaxBodyBytes) +
                                         note);
        return;
    case Abort::HttpStatus:
        break;
    case Abort::None:
        readBody(); // what arrived with the end of the transfer
        if (m_abort != Abort::None)
            return conclude(reply);
        break;
    }

    if (m_httpStatus >= 400) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        setResult(ErrorHttpStatus,
                  tr("HTTP error %1 %2 from %3").arg(m_httpStatus).arg(reason, hostAndPort(url)) +
                      note);
        return;
    }

    switch (reply->error()) {
    case QNetworkReply::NoError:
        setResult(NoError, QString());
        return;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
        setResult(ErrorConnectionRefused,
                  tr("Connection refused by %1").arg(hostAndPort(url)) + note);
        return;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        setResult(ErrorHostNotFound, tr("Host not found: %1").arg(url.host()) + note);
        return;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
        setResult(ErrorTimedOut, tr("The connection to %1 timed out").arg(hostAndPort(url)) + note);
        return;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
        setResult(ErrorConnectionReset,
                  tr("The connection to %1 was closed before the answer was complete")
                          .arg(hostAndPort(url)) +
                      note);
        return;
    case QNetworkReply::OperationCanceledError:
        setResult(ErrorCancelled, tr("The request was cancelled") + note);
        return;
    default:
        break;
    }
    setResult(ErrorOther, reply->errorString() + note);
}
