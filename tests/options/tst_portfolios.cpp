#include "support/MainHarness.h"

#include "app/OptionsWindow.h"
#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "options/TradeTracker.h"
#include "options/dlgAddPortfolio.h"
#include "options/frmOptions.h"
#include "settings/SettingsStore.h"
#include "window/frmStockMain.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString kProgram = QStringLiteral("Settings");

QStringList listed(const QComboBox *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    return names;
}

QStringList storedSlots()
{
    QStringList names;
    for (int i = 0; i < 21; ++i)
        names << SettingsStore::read(kProgram, QStringLiteral("Portfolio%1").arg(i));
    while (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

// Stores a portfolio the way a save leaves it: listed in `slot`, with an AlertPopUp, the
// given first symbol and low-alert box.
void storePortfolio(int slot, const QString &name, const QString &symbol, const QString &lowAlert)
{
    SettingsStore::write(kProgram, QStringLiteral("Portfolio%1").arg(slot), name);
    const QString section = SettingsStore::portfolioSection(name);
    SettingsStore::write(section, QStringLiteral("AlertPopUp"), QStringLiteral("False"));
    SettingsStore::write(section, QStringLiteral("Symbol0"), symbol);
    SettingsStore::write(section, QStringLiteral("EnableLowAlert"), lowAlert);
}

} // namespace

class TestPortfolios : public QObject
{
    Q_OBJECT

    FakePlatform m_platform;
    MainHarness m_harness;
    std::unique_ptr<StockMain> m_main;

    frmOptions *options() const { return m_main->options(); }
    QComboBox *list() const { return options()->cboPortfolio(); }
    FlexGrid *symbols() const { return options()->gridSymbols(); }
    QStringList symbolList() const
    {
        QStringList s;
        for (int r = 1; r < symbols()->rows(); ++r)
            s << symbols()->textMatrix(r, 0);
        return s;
    }
    void start()
    {
        m_main = m_harness.start();
        // The ticker's passes (whose waits nest event loops for seconds) are not under test.
        m_main->timScroll().stop();
    }
    void pick(int index) { list()->setCurrentIndex(index); }
    // Runs the create dialog; `typing` is called with the open dialog.
    void createThroughDialog(const std::function<void(dlgAddPortfolio *)> &typing)
    {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<dlgAddPortfolio *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ran = true;
            typing(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        options()->cmdAddPortfolio()->click();
        QVERIFY(ran);
    }
    bool createDirectly(const QString &name)
    {
        bool accepted = false;
        createThroughDialog([&](dlgAddPortfolio *dialog) {
            dialog->txtAddPortfolio()->setText(name);
            dialog->OKButton()->click();
            accepted = !dialog->isVisible();
        });
        return accepted;
    }

private Q_SLOTS:
    void init()
    {
        MainHarness::freshStore();
        m_platform.messageBox.shown.clear();
        m_platform.messageBox.answers.clear();
    }
    void cleanup() { m_main.reset(); }

    void firstStartMakesDefault();
    void startIndexBeyondTheListSelectsTheFirst();
    void createDialogRules();
    void refusedNames_data();
    void refusedNames();
    void twentyFirstPortfolioRefused();
    void createLoadRemoveRoundTrip();
    void loadWithoutAPickDoesNothing();
    void cancelAfterPickWritesNothingUnderTheWrongName();
    void exitAfterPickWritesNothingUnderTheWrongName();
    void removingAPortfolioNeverSaved();
    void removalAnsweredNoKeepsEverything();
    void removedNameIsNotListedAgain();
    void removingTheLastEntriesLeavesAWorkingList();
    void storedNamesThatReachOtherSectionsAreSkipped();
    void okWithAPickSavesTheLoadedPortfolioFirst();
    void namesSharingALogFileNeverShareIt();
};

void TestPortfolios::firstStartMakesDefault()
{
    start();
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Default"));
    QCOMPARE(storedSlots(), QStringList{QStringLiteral("Default")});
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));
    QCOMPARE(symbolList(), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    // Selecting the start portfolio is no pick: OK keeps the rows in memory and stores them.
    QVERIFY(!m_main->state().PortfolioChanged);
    options()->show();
    options()->cmdOK()->click();
    QCOMPARE(symbolList(), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Default")),
                                 QStringLiteral("Symbol3")),
             QStringLiteral("DELL"));
}

void TestPortfolios::startIndexBeyondTheListSelectsTheFirst()
{
    storePortfolio(0, QStringLiteral("Alpha"), QStringLiteral("AAA"), QStringLiteral("0"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("1"));
    SettingsStore::write(kProgram, QStringLiteral("StartPortfolio"), QStringLiteral("Beta"));
    SettingsStore::write(kProgram, QStringLiteral("StartPortfolioIndex"), QStringLiteral("7"));
    start();
    QCOMPARE(list()->currentIndex(), 0);
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Alpha"));
    QCOMPARE(symbolList(), QStringList{QStringLiteral("AAA")});

    m_main->saveAll();
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Beta")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("BBB"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Alpha"));
}

void TestPortfolios::createDialogRules()
{
    start();
    options()->show();
    bool stayedOpenOnEmpty = false, stayedOpenOnExisting = false, closedOnNew = false;
    QString tip;
    createThroughDialog([&](dlgAddPortfolio *dialog) {
        QVERIFY(!options()->isVisible()); // the Options window is hidden meanwhile
        tip = dialog->txtAddPortfolio()->toolTip();
        QLineEdit *name = dialog->txtAddPortfolio();
        QTest::keyClick(name, Qt::Key_Return);
        stayedOpenOnEmpty = dialog->isVisible() && m_platform.messageBox.shown.isEmpty();
        name->setText(QStringLiteral("Default"));
        QTest::keyClick(name, Qt::Key_Return);
        stayedOpenOnExisting = dialog->isVisible();
        name->setText(QStringLiteral("Growth"));
        QTest::keyClick(name, Qt::Key_Return);
        closedOnNew = !dialog->isVisible();
    });
    QCOMPARE(tip, QStringLiteral("Enter a new portfolio name"));
    QVERIFY(stayedOpenOnEmpty);
    QVERIFY(stayedOpenOnExisting);
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, QStringLiteral("Portfolio Exists"));
    QCOMPARE(m_platform.messageBox.shown[0].text,
             QStringLiteral("That portfolio already exists. Please select another name."));
    QCOMPARE(m_platform.messageBox.shown[0].icon, MessageBoxService::Icon::Information);
    QVERIFY(closedOnNew);
    QVERIFY(options()->isVisible());
    QCOMPARE(listed(list()), (QStringList{"Default", "Growth"}));
    QCOMPARE(list()->currentText(), QStringLiteral("Growth"));
    QCOMPARE(storedSlots(), (QStringList{"Default", "Growth"}));
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Growth"));
    QVERIFY(!m_main->state().PortfolioChanged);
}

void TestPortfolios::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("listed"); // a second portfolio listed before, if any
    const QString long64(64, u'x');
    QTest::newRow("same log file as A_B")
        << QStringLiteral("A:B") << QStringLiteral("Invalid Portfolio Name")
        << QStringLiteral("A_B");
    QTest::newRow("same log file past the 64th character")
        << long64 + u'2' << QStringLiteral("Invalid Portfolio Name") << long64 + u'1';
    QTest::newRow("backslash") << QStringLiteral("a\\b") << QStringLiteral("Invalid Portfolio Name")
                               << QString();
    QTest::newRow("slash") << QStringLiteral("a/b") << QStringLiteral("Invalid Portfolio Name")
                           << QString();
    QTest::newRow("blanks") << QStringLiteral("   ") << QStringLiteral("Invalid Portfolio Name")
                            << QString();
    QTest::newRow("exists") << QStringLiteral("Default") << QStringLiteral("Portfolio Exists")
                            << QString();
    QTest::newRow("exists in other case")
        << QStringLiteral("DEFAULT") << QStringLiteral("Portfolio Exists") << QString();
}

void TestPortfolios::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, listed);
    QStringList before{QStringLiteral("Default")};
    if (!listed.isEmpty()) {
        storePortfolio(0, before[0], QStringLiteral("AAA"), QStringLiteral("0"));
        storePortfolio(1, listed, QStringLiteral("BBB"), QStringLiteral("0"));
        before << listed;
    }
    start();
    QVERIFY(!createDirectly(name));
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, title);
    QVERIFY(!m_platform.messageBox.shown[0].text.isEmpty());
    QVERIFY(listed.isEmpty() || m_platform.messageBox.shown[0].text.contains(listed));
    QCOMPARE(::listed(list()), before);
    QCOMPARE(storedSlots(), before);
    QVERIFY(SettingsStore::read(QStringLiteral("Settings\\Portfolios\\a"), QStringLiteral("b"))
                .isEmpty());
}

void TestPortfolios::twentyFirstPortfolioRefused()
{
    for (int i = 1; i < 20; ++i)
        SettingsStore::write(kProgram, QStringLiteral("Portfolio%1").arg(i),
                             QStringLiteral("P%1").arg(i));
    start();
    QCOMPARE(list()->count(), 20);
    options()->cmdAddPortfolio()->click(); // refused before the dialog opens
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, QStringLiteral("Portfolio List Full"));
    QCOMPARE(list()->count(), 20);
    QVERIFY(SettingsStore::read(kProgram, QStringLiteral("Portfolio20")).isEmpty());
}

void TestPortfolios::createLoadRemoveRoundTrip()
{
    start();
    options()->show();
    options()->cmdOK()->click(); // Default saved with the low alert box clear
    symbols()->setTextMatrix(2, 0, QStringLiteral("KEPT")); // an edit not saved yet
    QVERIFY(createDirectly(QStringLiteral("Growth")));
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Default")),
                                 QStringLiteral("Symbol1")),
             QStringLiteral("KEPT"));
    // The new portfolio takes over the settings in memory, with the four default rows.
    QCOMPARE(symbolList(), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    options()->chkEnableLowAlert()->setChecked(true);
    symbols()->setTextMatrix(1, 0, QStringLiteral("ORCL"));
    options()->cmdOK()->click();
    const QString growth = SettingsStore::portfolioSection(QStringLiteral("Growth"));
    QCOMPARE(SettingsStore::read(growth, QStringLiteral("EnableLowAlert")), QStringLiteral("1"));
    QCOMPARE(SettingsStore::read(growth, QStringLiteral("Symbol0")), QStringLiteral("ORCL"));
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Default")),
                                 QStringLiteral("EnableLowAlert")),
             QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Growth"));

    // Load Default, then Growth again.
    QSignalSpy requested(m_main.get(), &StockMain::quoteUpdateRequested);
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    pick(0);
    QVERIFY(m_main->state().PortfolioChanged);
    QVERIFY(options()->cmdRemovePortfolio()->isEnabled());
    options()->cmdLoadPortfolio()->click();
    QVERIFY(!m_main->state().PortfolioChanged);
    QCOMPARE(requested.count(), 1);
    QVERIFY(!options()->chkEnableLowAlert()->isChecked());
    QCOMPARE(symbolList().value(0), QStringLiteral("MSFT"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Default"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex")),
             QStringLiteral("0"));
    pick(1);
    options()->cmdOK()->click(); // OK loads the picked portfolio before it saves
    QVERIFY(options()->chkEnableLowAlert()->isChecked());
    QCOMPARE(symbolList().value(0), QStringLiteral("ORCL"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex")),
             QStringLiteral("1"));

    // Remove Growth: its section and slot go, Default is loaded.
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->cmdRemovePortfolio()->click();
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    const auto &question = m_platform.messageBox.shown[0];
    QCOMPARE(question.title, QStringLiteral("Delete Portfolio"));
    QCOMPARE(question.text,
             QStringLiteral("Are you sure you want to permanently delete the portfolio called "
                            "Growth? \nYou will not be able to recover any data once it has been "
                            "deleted!"));
    QCOMPARE(question.defaultButton, int(QMessageBox::No));
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(storedSlots(), QStringList{QStringLiteral("Default")});
    QVERIFY(SettingsStore::read(growth, QStringLiteral("Symbol0")).isEmpty());
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));
    QVERIFY(!options()->chkEnableLowAlert()->isChecked());
}

void TestPortfolios::loadWithoutAPickDoesNothing()
{
    start();
    symbols()->setTextMatrix(1, 0, QStringLiteral("EDITED"));
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    options()->cmdLoadPortfolio()->click();
    QCOMPARE(symbolList().value(0), QStringLiteral("EDITED"));
}

void TestPortfolios::cancelAfterPickWritesNothingUnderTheWrongName()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("1"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    start();
    QVERIFY(options()->chkEnableLowAlert()->isChecked());
    auto *cmdOptions = m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"));
    cmdOptions->click();
    pick(1);
    options()->cmdCancel()->click();
    QCOMPARE(list()->currentText(), QStringLiteral("Default"));
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));

    cmdOptions->click();
    options()->cmdOK()->click();
    const QString beta = SettingsStore::portfolioSection(QStringLiteral("Beta"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("Symbol0")), QStringLiteral("BBB"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("EnableLowAlert")), QStringLiteral("0"));
    QVERIFY(SettingsStore::read(beta, QStringLiteral("Top")).isEmpty());
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Default")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("AAA"));
    m_main->saveAll();
    QVERIFY(SettingsStore::read(beta, QStringLiteral("Top")).isEmpty());
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Default"));
}

void TestPortfolios::exitAfterPickWritesNothingUnderTheWrongName()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("1"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    start();
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    pick(1);
    // A row removed while Beta is only picked deletes Default's slot, not Beta's.
    symbols()->setRow(1);
    options()->cmdRemoveButton()->click();
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Beta")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("BBB"));
    m_main->saveAll(); // Exit with the window still open
    const QString beta = SettingsStore::portfolioSection(QStringLiteral("Beta"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("EnableLowAlert")), QStringLiteral("0"));
    QVERIFY(SettingsStore::read(beta, QStringLiteral("Top")).isEmpty());
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Default"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex")),
             QStringLiteral("0"));
}

void TestPortfolios::removingAPortfolioNeverSaved()
{
    SettingsStore::write(kProgram, QStringLiteral("Portfolio1"), QStringLiteral("Ghost"));
    start();
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->cmdRemovePortfolio()->click();
    QCOMPARE(m_platform.messageBox.shown.size(), 2);
    QCOMPARE(m_platform.messageBox.shown[1].title, QStringLiteral("Delete Portfolio"));
    QCOMPARE(m_platform.messageBox.shown[1].text,
             QStringLiteral("Ghost does not exist\nRemoving it from the list..."));
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(storedSlots(), QStringList{QStringLiteral("Default")});
}

void TestPortfolios::removalAnsweredNoKeepsEverything()
{
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    start();
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::No);
    options()->cmdRemovePortfolio()->click();
    QCOMPARE(listed(list()), (QStringList{"Default", "Beta"}));
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Beta")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("BBB"));
    // The pick survives the refused removal: Load still loads Beta.
    options()->cmdLoadPortfolio()->click();
    QCOMPARE(symbolList(), QStringList{QStringLiteral("BBB")});
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Beta"));
}

void TestPortfolios::removedNameIsNotListedAgain()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("0"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    storePortfolio(2, QStringLiteral("Gamma"), QStringLiteral("CCC"), QStringLiteral("0"));
    start();
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->cmdRemovePortfolio()->click();
    QCOMPARE(listed(list()), (QStringList{"Default", "Gamma"}));
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Gamma")); // position 1 loaded
    QCOMPARE(symbolList(), QStringList{QStringLiteral("CCC")});
    options()->cmdOK()->click();
    QCOMPARE(storedSlots(), (QStringList{"Default", "Gamma"}));

    // A new portfolio then goes into the free slot without overwriting Gamma.
    QVERIFY(createDirectly(QStringLiteral("Delta")));
    QCOMPARE(storedSlots(), (QStringList{"Default", "Gamma", "Delta"}));

    m_main->saveAll();
    m_main.reset();
    start();
    QCOMPARE(listed(list()), (QStringList{"Default", "Gamma", "Delta"}));
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Delta"));
}

void TestPortfolios::removingTheLastEntriesLeavesAWorkingList()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("0"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("1"));
    start();
    // Two entries: removing the second loads the first.
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->cmdRemovePortfolio()->click();
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));
    QCOMPARE(symbolList(), QStringList{QStringLiteral("AAA")});

    // The last entry: "Default" is made again, empty, with the four default rows.
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->cmdRemovePortfolio()->setEnabled(true);
    options()->cmdRemovePortfolio()->click();
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(list()->currentIndex(), 0);
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));
    QCOMPARE(symbolList(), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    QCOMPARE(storedSlots(), QStringList{QStringLiteral("Default")});
    options()->cmdOK()->click();
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Default")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("MSFT"));
}

void TestPortfolios::storedNamesThatReachOtherSectionsAreSkipped()
{
    const QStringList slots = {"Default", "", "   ", "x/y", "Beta", "BETA", "a\\b", "\\", "Gamma"};
    for (int i = 0; i < slots.size(); ++i)
        SettingsStore::write(kProgram, QStringLiteral("Portfolio%1").arg(i), slots[i]);
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("0"));
    storePortfolio(4, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    storePortfolio(8, QStringLiteral("Gamma"), QStringLiteral("CCC"), QStringLiteral("0"));
    SettingsStore::write(SettingsStore::portfolioSection(QStringLiteral("BETA")),
                         QStringLiteral("Symbol0"), QStringLiteral("UPPER"));
    start();
    // A name that differs from another only in letter case is a portfolio of its own where
    // the store tells letter case apart, and is never hidden there.
#ifdef Q_OS_WIN
    const QStringList upper;
#else
    const QStringList upper{QStringLiteral("BETA")};
#endif
    const QStringList expected = QStringList{"Default", "Beta"} + upper + QStringList{"Gamma"};
    const QStringList slotsLeft = QStringList{"Default", "", "", "", "Beta"} +
                                  (upper.isEmpty() ? QStringList{""} : upper) +
                                  QStringList{"", "", "Gamma"};
    QCOMPARE(listed(list()), expected);
    QCOMPARE(storedSlots(), slotsLeft);
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("BETA")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("UPPER"));

    // Removing a listed portfolio removes its section and nothing else.
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->cmdRemovePortfolio()->click();
    const QStringList remaining = QStringList{"Default"} + upper + QStringList{"Gamma"};
    QCOMPARE(listed(list()), remaining);
    for (const auto &[name, symbol] :
         {std::pair{"Default", "AAA"}, {"Gamma", "CCC"}, {"BETA", "UPPER"}})
        QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QString::fromLatin1(name)),
                                     QStringLiteral("Symbol0")),
                 QString::fromLatin1(symbol));
}

void TestPortfolios::okWithAPickSavesTheLoadedPortfolioFirst()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("1"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    const QString defaults = SettingsStore::portfolioSection(QStringLiteral("Default"));
    const QString beta = SettingsStore::portfolioSection(QStringLiteral("Beta"));
    SettingsStore::write(beta, QStringLiteral("UpdateSeconds"), QStringLiteral("5"));
    SettingsStore::write(beta, QStringLiteral("Mode"), QStringLiteral("Ticker"));
    start();
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    symbols()->setTextMatrix(1, 0, QStringLiteral("EDITED"));
    options()->chkEnableLowAlert()->setChecked(false);
    options()->txtFee()->setText(QStringLiteral("9.95"));
    options()->cboSeconds()->setCurrentIndex(3);
    pick(1);
    options()->cmdOK()->click();

    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("Symbol0")), QStringLiteral("EDITED"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("EnableLowAlert")), QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("TradeFee")), QStringLiteral("9.95"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("UpdateSeconds")), QStringLiteral("3"));
    // Beta is loaded with its own values and saved with them.
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Beta"));
    QCOMPARE(symbolList(), QStringList{QStringLiteral("BBB")});
    QCOMPARE(options()->txtFee()->text(), QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("TradeFee")), QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("Symbol0")), QStringLiteral("BBB"));
    QCOMPARE(options()->cboSeconds()->currentIndex(), 5);
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("UpdateSeconds")), QStringLiteral("5"));
    QCOMPARE(m_main->state().WindowMode, QStringLiteral("Ticker"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("Mode")), QStringLiteral("Browser"));
}

// Two stored names that lead to one trade log file: said once at start-up; the first keeps
// the log, the second neither shows, extends nor deletes it.
void TestPortfolios::namesSharingALogFileNeverShareIt()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("0"));
    storePortfolio(1, QStringLiteral("A:B"), QStringLiteral("BBB"), QStringLiteral("0"));
    storePortfolio(2, QStringLiteral("A_B"), QStringLiteral("CCC"), QStringLiteral("0"));
    start();
    QCOMPARE(listed(list()), (QStringList{"Default", "A:B", "A_B"}));
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QVERIFY(m_platform.messageBox.shown[0].text.contains(QLatin1String("\"A:B\" and \"A_B\"")));

    TradeTracker &tracker = m_main->optionsWindow().trades();
    QDir().mkpath(TradeTracker::logFolder());
    const QString shared =
        tracker.logPath().replace(QLatin1String("Default"), QLatin1String("A_B"));
    QFile log(shared);
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("Desc.\r\nBuy\t1\tAAA\r\n");
    log.close();
    m_platform.messageBox.shown.clear();
    pick(2);
    options()->cmdLoadPortfolio()->click();
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("A_B"));
    QVERIFY(options()->txtTransactionLog()->toPlainText().isEmpty());
    QVERIFY(!options()->cmdDelLog()->isEnabled());
    options()->cboBuySell()->setCurrentIndex(3); // Credit
    options()->txtBuySellPrice()->setText(QStringLiteral("5"));
    options()->cmdLogTransaction()->click();
    options()->cmdOpen()->click();
    QCOMPARE(m_platform.messageBox.shown.size(), 2);
    QVERIFY(m_platform.messageBox.shown[0].text.contains(QLatin1String("keeps no trade log")));
    QVERIFY(m_platform.programs.editedFiles.isEmpty());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("Desc.\r\nBuy\t1\tAAA\r\n"));
    log.close();

    // The first of the pair shows it.
    pick(1);
    options()->cmdLoadPortfolio()->click();
    QVERIFY(options()->txtTransactionLog()->toPlainText().contains(QLatin1String("AAA")));
    QFile::remove(shared);
}

QTEST_MAIN(TestPortfolios)
#include "tst_portfolios.moc"
