#include "QuoteSourceKeys.h"

#include "frmOptions.h"

#include "feed/FeedSources.h"
#include "platform/Platform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace {

constexpr char kNotKept[] =
    "No secret store answers on this desktop, so Vantora cannot keep the API key. It is used "
    "until Vantora closes and will be asked for again at the next start.";

} // namespace

QuoteSourceKeys::QuoteSourceKeys(frmOptions &options, QObject *parent)
    : QObject(parent), m_options(options)
{
    connect(m_options.cboQuoteSource(), &QComboBox::currentIndexChanged, this,
            &QuoteSourceKeys::sourceChosen);
    connect(m_options.txtApiKey(), &QLineEdit::textEdited, this, &QuoteSourceKeys::keyEdited);
    connect(m_options.cmdTestSource(), &QPushButton::clicked, this, &QuoteSourceKeys::test);
    sourceChosen();
}

QString QuoteSourceKeys::storeName(const QString &source)
{
    return QStringLiteral("QuoteSource/") + FeedSources::normalized(source);
}

QString QuoteSourceKeys::key(const QString &source) const
{
    return m_inForce.value(FeedSources::normalized(source));
}

void QuoteSourceKeys::load()
{
    m_storeOpen = true;
    ask(FeedSources::normalized(m_options.cboQuoteSource()->currentData().toString()));
}

void QuoteSourceKeys::ask(const QString &source)
{
    SecretStore *store = Platform::instance().secrets;
    if (!m_storeOpen || !store || !FeedSources::takesKey(source) || m_asked.contains(source))
        return;
    m_asked.insert(source);
    store->read(storeName(source), this,
                [this, source](SecretStore::Status status, const QString &secret) {
                    // A key given with OK meanwhile is newer than the stored one.
                    if (status != SecretStore::Status::Ok || secret.trimmed().isEmpty() ||
                        m_inForce.contains(source))
                        return;
                    m_inForce.insert(source, secret.trimmed());
                    showKey();
                    Q_EMIT keyChanged(source);
                });
}

void QuoteSourceKeys::commit()
{
    SecretStore *store = Platform::instance().secrets;
    const QMap<QString, QString> typed = std::exchange(m_typed, {});
    for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
        const QString key = it.value().trimmed();
        if (key == m_inForce.value(it.key()))
            continue;
        m_inForce.insert(it.key(), key);
        Q_EMIT keyChanged(it.key());
        if (!store) {
            stored(key.isEmpty());
            continue;
        }
        store->write(storeName(it.key()), key, this,
                     [this, removing = key.isEmpty()](SecretStore::Status status) {
                         stored(removing || status == SecretStore::Status::Ok);
                     });
    }
    sourceChosen();
}

void QuoteSourceKeys::revert()
{
    m_typed.clear();
    sourceChosen();
}

void QuoteSourceKeys::showKey()
{
    const QString source =
        FeedSources::normalized(m_options.cboQuoteSource()->currentData().toString());
    const bool keyed = FeedSources::takesKey(source);
    m_options.lblApiKey()->setEnabled(keyed);
    m_options.txtApiKey()->setEnabled(keyed);
    m_options.txtApiKey()->setText(keyed ? m_typed.value(source, m_inForce.value(source))
                                         : QString());
}

void QuoteSourceKeys::sourceChosen()
{
    const QString source =
        FeedSources::normalized(m_options.cboQuoteSource()->currentData().toString());
    ask(source);
    showKey();
    // A test still under way answers for the source it asked; its answer is no longer shown.
    ++m_testRun;
    m_options.cmdTestSource()->setEnabled(source != QLatin1String(FeedSources::kDefault));
    m_options.lblSourceTest()->clear();
}

void QuoteSourceKeys::keyEdited(const QString &text)
{
    m_typed.insert(FeedSources::normalized(m_options.cboQuoteSource()->currentData().toString()),
                   text);
}

void QuoteSourceKeys::test()
{
    const QString source =
        FeedSources::normalized(m_options.cboQuoteSource()->currentData().toString());
    const QString key =
        FeedSources::takesKey(source) ? m_options.txtApiKey()->text().trimmed() : QString();
    const quint64 run = ++m_testRun;
    m_options.cmdTestSource()->setEnabled(false);
    m_options.lblSourceTest()->setText(
        QStringLiteral("Asking %1 for MSFT...").arg(FeedSources::displayName(source)));
    QPointer<QuoteSourceKeys> self(this);
    FeedSources::check(
        source, key,
        [self, run](const QString &message) {
            if (!self || run != self->m_testRun)
                return;
            self->m_options.lblSourceTest()->setText(message);
            self->m_options.cmdTestSource()->setEnabled(true);
            Q_EMIT self->testFinished(message);
        },
        m_upstream);
}

void QuoteSourceKeys::stored(bool kept)
{
    if (kept || m_toldNotKept)
        return;
    m_toldNotKept = true;
    if (MessageBoxService *boxes = Platform::instance().messageBox)
        boxes->show(m_options.cboQuoteSource()->window(), QStringLiteral("Vantora"),
                    QString::fromLatin1(kNotKept), MessageBoxService::Icon::Information,
                    QMessageBox::Ok);
}
