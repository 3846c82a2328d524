#include "support/TestDoubles.h"

#include <QMessageBox>
#include <QPrinter>
#include <QTimer>

int FakeMessageBox::show(QWidget *, const QString &title, const QString &text, Icon icon,
                         int buttons, int defaultButton)
{
    shown.append({title, text, icon, buttons, defaultButton});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (defaultButton != 0)
        return defaultButton;
    return (buttons & QMessageBox::Ok) ? int(QMessageBox::Ok) : buttons;
}

bool FakeProgramLauncher::openUrl(const QUrl &url)
{
    urls << url;
    return result;
}

bool FakeProgramLauncher::openInTextEditor(const QString &path)
{
    editedFiles << path;
    return result;
}

bool FakeProgramLauncher::startCalculator()
{
    ++calculatorStarts;
    return result;
}

bool FakeProgramLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    started << (QStringList{program} + arguments);
    return result;
}

bool FakeDialUp::dial(const QString &entryName, QObject *context, std::function<void()> refused)
{
    dialled << entryName;
    if (!entryNames.contains(entryName))
        return false;
    if (refuseDialling && refused && context)
        QTimer::singleShot(0, context, std::move(refused));
    return true;
}

void FakeDialUp::hangUp(const QStringList &handles, int)
{
    hungUp << handles;
}

std::optional<QColor> FakeDialogs::chooseColor(QWidget *, const QColor &, const QString &title)
{
    colorTitles << title;
    if (colors.empty())
        return std::nullopt;
    auto c = colors.front();
    colors.pop_front();
    return c;
}

QString FakeDialogs::openFileName(QWidget *, const QString &title, const QString &,
                                  const QString &filter)
{
    openTitles << title;
    openFilters << filter;
    if (fileNames.empty())
        return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

bool FakeDialogs::print(QWidget *, QPrinter *)
{
    ++printDialogs;
    return printAccepted;
}

std::unique_ptr<QPrinter> PdfPrinter::createPrinter()
{
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(outputFile);
    if (resolution > 0)
        printer->setResolution(resolution);
    return printer;
}

FakePlatform::FakePlatform()
{
    Platform::install({&messageBox, &programs, &sound, &connection, &dialUp, &dialogs, &printer,
                       &tray, &browsers, &notifications, &secrets});
}

void FakeSecretStore::read(const QString &name, QObject *context,
                           std::function<void(Status, const QString &)> done)
{
    ++reads;
    const Status status = !available              ? Status::Unavailable
                          : stored.contains(name) ? Status::Ok
                                                  : Status::NotFound;
    const QString secret = available ? stored.value(name) : QString();
    QMetaObject::invokeMethod(
        context, [done, status, secret] { done(status, secret); }, Qt::QueuedConnection);
}

void FakeSecretStore::write(const QString &name, const QString &secret, QObject *context,
                            std::function<void(Status)> done)
{
    ++writes;
    if (available) {
        if (secret.isEmpty())
            stored.remove(name);
        else
            stored.insert(name, secret);
    }
    const Status status = available ? Status::Ok : Status::Unavailable;
    QMetaObject::invokeMethod(
        context, [done, status] { done(status); }, Qt::QueuedConnection);
}

FakePlatform::~FakePlatform()
{
    Platform::restoreReal();
}

FakeWebBrowser::FakeWebBrowser(QWidget *parent) : m_widget(new QWidget(parent))
{
    m_widget->setObjectName(QStringLiteral("WebBrowser1"));
}

FakeWebBrowser::~FakeWebBrowser()
{
    delete m_widget.data();
}

void FakeWebBrowser::navigate(const QString &address)
{
    navigated << address;
    m_history = m_history.mid(0, m_current + 1);
    m_history << address;
    load(int(m_history.size()) - 1);
}

bool FakeWebBrowser::goBack()
{
    if (m_current <= 0)
        return false;
    load(m_current - 1);
    return true;
}

bool FakeWebBrowser::goForward()
{
    if (m_current + 1 >= m_history.size())
        return false;
    load(m_current + 1);
    return true;
}

void FakeWebBrowser::stop()
{
    ++stops;
    m_busy = false;
}

void FakeWebBrowser::pause()
{
    stop();
    m_widget->hide();
    paused = true;
}

void FakeWebBrowser::refresh()
{
    ++refreshes;
    if (m_current >= 0)
        load(m_current);
}

QString FakeWebBrowser::locationURL() const
{
    return m_current >= 0 ? m_history.at(m_current) : QString();
}

void FakeWebBrowser::finishLoad(const QString &title)
{
    m_busy = false;
    m_title = title;
    Q_EMIT downloadComplete();
}

void FakeWebBrowser::load(int index)
{
    m_current = index;
    m_busy = true;
    Q_EMIT downloadBegin();
}

std::unique_ptr<WebBrowser> FakeWebBrowsers::create(QWidget *parent)
{
    ++created;
    auto browser = std::make_unique<FakeWebBrowser>(parent);
    last = browser.get();
    return browser;
}
