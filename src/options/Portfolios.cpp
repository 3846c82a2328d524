#include "Portfolios.h"

#include "common/MainState.h"
#include "options/TradeTracker.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"

#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

const QString kProgram = QStringLiteral("Settings");
const QString kDefault = QStringLiteral("Default");

QString slotKey(int i)
{
    return QStringLiteral("Portfolio") + QString::number(i);
}

bool holdsSeparator(const QString &name)
{
    return name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/'));
}

// Whether `name` is already listed. A new name is compared without regard to letter case:
// on Windows the store is the registry, where "Growth" and "GROWTH" are one section. Stored
// names are told apart by letter case where the store does so too (Linux), so that no
// portfolio kept there is hidden.
bool listedAlready(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

bool storedAlready(const QStringList &names, const QString &name)
{
#ifdef Q_OS_WIN
    return names.contains(name, Qt::CaseInsensitive);
#else
    return names.contains(name, Qt::CaseSensitive);
#endif
}

} // namespace

Portfolios::Portfolios(MainState &state, frmOptions &options) : m_state(state), m_options(options)
{
    QObject::connect(m_options.cboPortfolio(), &QComboBox::currentIndexChanged,
                     m_options.cboPortfolio(), [this](int index) {
                         if (index >= 0)
                             cboPortfolio_Click();
                     });
}

void Portfolios::GetPortfolio()
{
    const QString startIndexText =
        SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex"));
    // A text that is not a number reads as 0 here, so only a real negative is rewritten.
    const auto startIndex = ValueForms::toInt16(startIndexText);
    if (startIndex && *startIndex < 0)
        SettingsStore::write(kProgram, QStringLiteral("StartPortfolioIndex"), QStringLiteral("0"));
    if (SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")).isEmpty())
        SettingsStore::write(kProgram, QStringLiteral("StartPortfolio"), kDefault);
    if (SettingsStore::read(kProgram, slotKey(0)).isEmpty())
        SettingsStore::write(kProgram, slotKey(0), kDefault);

    QComboBox *list = m_options.cboPortfolio();
    {
        // Adding the first entry would select it by itself; the selection is made below.
        const QSignalBlocker blocker(list);
        list->clear();
        // A stored name that could address another section (a separator, nothing but
        // blanks, another entry's name in other letter case) is left out and its slot
        // cleared; the section it named is left alone, and so is the rest of the list.
        QStringList names;
        for (int i = 0; i < MaxPortfolios; ++i) {
            const QString name = SettingsStore::read(kProgram, slotKey(i));
            if (name.isEmpty())
                continue;
            if (name.trimmed().isEmpty() || holdsSeparator(name) || storedAlready(names, name)) {
                SettingsStore::removeKey(kProgram, slotKey(i));
                continue;
            }
            names << name;
        }
        if (names.isEmpty()) {
            names << kDefault;
            SettingsStore::write(kProgram, slotKey(0), kDefault);
        }
        list->addItems(names);
        list->setCurrentIndex(-1);

        // Names stored by hand or by an older build may lead to one trade log file; the
        // second of each such pair keeps no trade log (TradeTracker), which is said once.
        QStringList clashes;
        for (const QString &name : names) {
            const QString owner = TradeTracker::logClaimedBy(names, name);
            if (!owner.isEmpty())
                clashes << QStringLiteral("\"%1\" and \"%2\"").arg(owner, name);
        }
        if (!clashes.isEmpty())
            Platform::instance().messageBox->show(
                &m_options, QString::fromLatin1(TradeTracker::LogTitle),
                QStringLiteral("These portfolios have names that lead to one trade log file:\n") +
                    clashes.join(u'\n') +
                    QStringLiteral("\n\nThe second of each keeps no trade log, so that neither "
                                   "reads, extends or deletes the other's log. To record its "
                                   "trades, create a portfolio with another name for them."),
                MessageBoxService::Icon::Warning, QMessageBox::Ok);
    }

    auto position = ValueForms::toInt16(
        SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex"), QStringLiteral("0")));
    if (!position || *position > list->count() - 1 || *position < 0)
        position = 0;
    list->setCurrentIndex(*position);
    m_state.CurrentPortfolio = list->currentText();
    // Selecting the start entry is not a pick: its settings are the ones start-up loads next.
    // Left set, the next OK would reload the portfolio from the store and drop every row and
    // setting not stored yet (the four default rows of a new store among them).
    m_state.PortfolioChanged = false;
}

void Portfolios::cboPortfolio_Click()
{
    // CurrentPortfolio stays the loaded portfolio until the pick is loaded: every key read or
    // written meanwhile (the window mode, the interval list, a save) belongs to the
    // settings in memory, which are the loaded portfolio's.
    m_options.cmdRemovePortfolio()->setEnabled(true);
    m_state.PortfolioChanged = true;
}

void Portfolios::saveList() const
{
    const QComboBox *list = m_options.cboPortfolio();
    int slot = 0;
    for (int i = 0; i < list->count() && slot < MaxPortfolios; ++i) {
        const QString name = list->itemText(i);
        if (!name.isEmpty())
            SettingsStore::write(kProgram, slotKey(slot++), name);
    }
    for (; slot < MaxPortfolios; ++slot)
        SettingsStore::removeKey(kProgram, slotKey(slot));
}

Portfolios::Refusal Portfolios::checkNewName(const QString &name) const
{
    if (name.isEmpty())
        return Refusal::Empty;
    if (name.trimmed().isEmpty())
        return Refusal::Blank;
    if (holdsSeparator(name))
        return Refusal::Separator;
    const QStringList names = listedNames();
    if (listedAlready(names, name))
        return Refusal::Exists;
    if (names.size() >= MaxPortfolios)
        return Refusal::Full;
    if (!logClashWith(name).isEmpty())
        return Refusal::SharesLog;
    return Refusal::None;
}

QStringList Portfolios::listedNames() const
{
    const QComboBox *list = m_options.cboPortfolio();
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    return names;
}

QString Portfolios::logClashWith(const QString &name) const
{
    return TradeTracker::logClaimedBy(listedNames(), name);
}

QString Portfolios::refusalTitle(Refusal refusal)
{
    switch (refusal) {
    case Refusal::Exists:
        return QStringLiteral("Portfolio Exists");
    case Refusal::Full:
        return QStringLiteral("Portfolio List Full");
    case Refusal::Blank:
    case Refusal::Separator:
    case Refusal::SharesLog:
        return QStringLiteral("Invalid Portfolio Name");
    case Refusal::None:
    case Refusal::Empty:
        break;
    }
    return {};
}

QString Portfolios::refusalText(Refusal refusal, const QString &other)
{
    switch (refusal) {
    case Refusal::Exists:
        return QStringLiteral("That portfolio already exists. Please select another name.");
    case Refusal::Full:
        return QStringLiteral("The portfolio list is full: it holds %1 portfolios. Please remove "
                              "a portfolio before creating another one.")
            .arg(MaxPortfolios);
    case Refusal::Blank:
        return QStringLiteral("A portfolio name must contain more than blanks. Please enter "
                              "another name.");
    case Refusal::Separator:
        return QStringLiteral("A portfolio name cannot contain \"\\\" or \"/\". Please enter "
                              "another name.");
    case Refusal::SharesLog:
        return QStringLiteral("The trade log of a portfolio with this name would be the file of "
                              "the portfolio \"%1\" (characters a file name cannot hold, and "
                              "any beyond the 64th, do not count). Please enter another name.")
            .arg(other);
    case Refusal::None:
    case Refusal::Empty:
        break;
    }
    return {};
}

void Portfolios::addToList(const QString &name)
{
    SettingsStore::removeSection(SettingsStore::portfolioSection(name));
    QComboBox *list = m_options.cboPortfolio();
    {
        const QSignalBlocker blocker(list);
        list->addItem(name);
        list->setCurrentIndex(list->count() - 1);
    }
    saveList();
}

bool Portfolios::removeEntry(int index)
{
    QComboBox *list = m_options.cboPortfolio();
    if (index < 0 || index >= list->count())
        return true;
    const QString name = list->itemText(index);
    const QString section = SettingsStore::portfolioSection(name) + QLatin1Char('\\');
    const bool stored = !SettingsStore::read(section, QStringLiteral("AlertPopUp")).isEmpty();
    // The section goes in either case: keys left behind (rows, window position) would
    // otherwise come back for a later portfolio of the same name. The store refuses to
    // remove the root of the portfolios or "Settings", whatever the name.
    SettingsStore::removeSection(section);
    list->removeItem(index);
    for (int i = 0; i <= MaxPortfolios; ++i) {
        if (SettingsStore::read(kProgram + QLatin1Char('\\'), slotKey(i)) == name)
            SettingsStore::removeKey(kProgram + QLatin1Char('\\'), slotKey(i));
    }
    if (list->count() == 0)
        list->addItem(kDefault);
    saveList();
    return stored;
}
