#pragma once

#include <QByteArray>
#include <QNetworkProxy>
#include <QObject>
#include <QString>

class QEventLoop;
class QNetworkAccessManager;
class QNetworkReply;

// The quote downloader (`inetQuotes`): fetches an HTTP address synchronously and returns
// the answer as text.
//
// OpenURL blocks its caller but not the program: it runs a nested event loop, so timers,
// clicks and repaints go on while it waits, and they may find StillExecuting() true.
// A transfer fails with a ResponseCode above 35750 (one code per kind of failure, see
// ResponseCodes) and a ResponseInfo text that says what went wrong; OpenURL then returns
// "". An HTTP error status (400 and up) is such a failure: its page is never returned as
// an answer. The body is read up to kMaxBodyBytes and the transfer abandoned beyond that.
// The body is decoded as Latin-1, the quote service's single-byte text.
//
// No UI here: a failure is reported through ResponseCode/ResponseInfo and the
// StateChanged signal, never by a message box or an exception.
class Transfer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int RequestTimeout READ RequestTimeout WRITE setRequestTimeout)
    Q_PROPERTY(AccessType AccessType READ accessType WRITE setAccessType)
    Q_PROPERTY(QString Proxy READ Proxy WRITE setProxy)
    Q_PROPERTY(bool StillExecuting READ StillExecuting)
    Q_PROPERTY(int ResponseCode READ ResponseCode)
    Q_PROPERTY(QString ResponseInfo READ ResponseInfo)

public:
    enum class AccessType
    {
        Default = 0,    // the application's proxy settings
        Direct = 1,     // no proxy
        NamedProxy = 2, // the HTTP proxy named by Proxy ("host:port")
    };
    Q_ENUM(AccessType)

    enum ResponseCodes
    {
        NoError = 0,
        ErrorOther = 35751,        // any failure not listed below
        ErrorHostNotFound = 35752, // the name does not resolve
        ErrorConnectionRefused = 35753,
        ErrorTimedOut = 35754,        // RequestTimeout elapsed, or the connection timed out
        ErrorConnectionReset = 35755, // the server dropped the connection mid-way
        ErrorHttpStatus = 35756,      // the server answered 400 or above (see httpStatus())
        ErrorBodyTooLarge = 35757,    // more than kMaxBodyBytes
        ErrorCancelled = 35758,       // Cancel() was called
        ErrorBusy = 35759,            // OpenURL while a transfer is still executing
        ErrorInvalidUrl = 35760,      // not an http or https address
    };
    Q_ENUM(ResponseCodes)

    // Reported through StateChanged: when a transfer starts, and when it has ended (still
    // executing at that moment, so that a handler cannot start another one).
    enum class State
    {
        Connecting = 1,
        Completed = 2,
        Failed = 3,
    };
    Q_ENUM(State)

    static constexpr qint64 kMaxBodyBytes = 1024 * 1024;

    explicit Transfer(QObject *parent = nullptr);
    ~Transfer() override;

    // Fetches the address and returns the body as text, "" on failure. Rejects a call
    // made while a transfer is executing (ErrorBusy; the running transfer goes on).
    QString OpenURL(const QString &url);
    bool StillExecuting() const { return m_executing; }
    // Abandons the running transfer (ErrorCancelled); does nothing when none runs.
    void Cancel();
    // The program is ending: cancels the running transfer and refuses every later one
    // (ErrorCancelled), so that no new wait starts once the event loops were told to end.
    void shutdown();
    bool isShutDown() const { return m_closed; }

    // Seconds a whole transfer may take; 0: no limit.
    int RequestTimeout() const { return m_timeoutSeconds; }
    void setRequestTimeout(int seconds) { m_timeoutSeconds = qMax(0, seconds); }

    AccessType accessType() const { return m_accessType; }
    void setAccessType(AccessType type) { m_accessType = type; }
    // "host:port" of the proxy used with AccessType::NamedProxy; port 80 when missing.
    QString Proxy() const { return m_proxyText; }
    void setProxy(const QString &hostPort) { m_proxyText = hostPort; }
    // The proxy that the next transfer uses.
    QNetworkProxy networkProxy() const;

    int ResponseCode() const { return m_code; }
    QString ResponseInfo() const { return m_info; }
    // The HTTP status of the last answer (0 when none came).
    int httpStatus() const { return m_httpStatus; }
    // The Content-Type of the last answer ("" when none came).
    QString contentType() const { return m_contentType; }

Q_SIGNALS:
    void StateChanged(Transfer::State state);

private:
    enum class Abort
    {
        None,
        Cancelled,
        TimedOut,
        TooLarge,
        HttpStatus
    };

    void readBody();
    void checkHeaders();
    void abortWith(Abort reason);
    void conclude(QNetworkReply *reply);
    void setResult(int code, const QString &info);
    QString proxyNote() const;

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr;
    QEventLoop *m_loop = nullptr;
    bool m_executing = false;
    bool m_closed = false;
    int m_timeoutSeconds = 0;
    AccessType m_accessType = AccessType::Default;
    QString m_proxyText;
    QNetworkProxy m_activeProxy;
    Abort m_abort = Abort::None;
    QByteArray m_body;
    int m_code = NoError;
    QString m_info;
    int m_httpStatus = 0;
    QString m_contentType;
};
