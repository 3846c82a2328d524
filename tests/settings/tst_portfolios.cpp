#include "MainHarness.h"

#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "options/dlgAddPortfolio.h"
#include "options/frmOptions.h"
#include "settings/SettingsStore.h"
#include "ui_dlgAddPortfolio.h"
#include "ui_frmOptions.h"
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
    QComboBox *list() const { return options()->ui->cboPortfolio; }
    FlexGrid *symbols() const { return options()->ui->gridSymbols; }
    QStringList symbolList() const
    {
        QStringList s;
        for (int r = 1; r < symbols()->rows(); ++r)
            s << symbols()->textMatrix(r, 0);
        return s;
    }
    void start() { m_main = m_harness.start(); }
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
        options()->ui->cmdAddPortfolio->click();
        QVERIFY(ran);
    }
    bool createDirectly(const QString &name)
    {
        bool accepted = false;
        createThroughDialog([&](dlgAddPortfolio *dialog) {
            dialog->ui->txtAddPortfolio->setText(name);
            dialog->ui->OKButton->click();
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
    options()->ui->cmdOK->click();
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
        tip = dialog->ui->txtAddPortfolio->toolTip();
        QLineEdit *name = dialog->ui->txtAddPortfolio;
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
    QTest::newRow("backslash") << QStringLiteral("a\\b")
                               << QStringLiteral("Invalid Portfolio Name");
    QTest::newRow("slash") << QStringLiteral("a/b") << QStringLiteral("Invalid Portfolio Name");
    QTest::newRow("blanks") << QStringLiteral("   ") << QStringLiteral("Invalid Portfolio Name");
    QTest::newRow("exists") << QStringLiteral("Default") << QStringLiteral("Portfolio Exists");
    QTest::newRow("exists in other case")
        << QStringLiteral("DEFAULT") << QStringLiteral("Portfolio Exists");
}

void TestPortfolios::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    start();
    QVERIFY(!createDirectly(name));
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, title);
    QVERIFY(!m_platform.messageBox.shown[0].text.isEmpty());
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(storedSlots(), QStringList{QStringLiteral("Default")});
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
    options()->ui->cmdAddPortfolio->click(); // refused before the dialog opens
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, QStringLiteral("Portfolio List Full"));
    QCOMPARE(list()->count(), 20);
    QVERIFY(SettingsStore::read(kProgram, QStringLiteral("Portfolio20")).isEmpty());
}

void TestPortfolios::createLoadRemoveRoundTrip()
{
    start();
    options()->show();
    options()->ui->cmdOK->click(); // Default saved with the low alert box clear
    QVERIFY(createDirectly(QStringLiteral("Growth")));
    // The new portfolio takes over the settings in memory, with the four default rows.
    QCOMPARE(symbolList(), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    options()->ui->chkEnableLowAlert->setChecked(true);
    symbols()->setTextMatrix(1, 0, QStringLiteral("ORCL"));
    options()->ui->cmdOK->click();
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
    QVERIFY(options()->ui->cmdRemovePortfolio->isEnabled());
    options()->ui->cmdLoadPortfolio->click();
    QVERIFY(!m_main->state().PortfolioChanged);
    QCOMPARE(requested.count(), 1);
    QVERIFY(!options()->ui->chkEnableLowAlert->isChecked());
    QCOMPARE(symbolList().value(0), QStringLiteral("MSFT"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")),
             QStringLiteral("Default"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex")),
             QStringLiteral("0"));
    pick(1);
    options()->ui->cmdOK->click(); // OK loads the picked portfolio before it saves
    QVERIFY(options()->ui->chkEnableLowAlert->isChecked());
    QCOMPARE(symbolList().value(0), QStringLiteral("ORCL"));
    QCOMPARE(SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex")),
             QStringLiteral("1"));

    // Remove Growth: its section and slot go, Default is loaded.
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->ui->cmdRemovePortfolio->click();
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
    QVERIFY(!options()->ui->chkEnableLowAlert->isChecked());
}

void TestPortfolios::loadWithoutAPickDoesNothing()
{
    start();
    symbols()->setTextMatrix(1, 0, QStringLiteral("EDITED"));
    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"))->click();
    options()->ui->cmdLoadPortfolio->click();
    QCOMPARE(symbolList().value(0), QStringLiteral("EDITED"));
}

void TestPortfolios::cancelAfterPickWritesNothingUnderTheWrongName()
{
    storePortfolio(0, QStringLiteral("Default"), QStringLiteral("AAA"), QStringLiteral("1"));
    storePortfolio(1, QStringLiteral("Beta"), QStringLiteral("BBB"), QStringLiteral("0"));
    start();
    QVERIFY(options()->ui->chkEnableLowAlert->isChecked());
    auto *cmdOptions = m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdOptions"));
    cmdOptions->click();
    pick(1);
    options()->ui->cmdCancel->click();
    QCOMPARE(list()->currentText(), QStringLiteral("Default"));
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));

    cmdOptions->click();
    options()->ui->cmdOK->click();
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
    options()->ui->cmdRemoveButton->click();
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
    options()->ui->cmdRemovePortfolio->click();
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
    options()->ui->cmdRemovePortfolio->click();
    QCOMPARE(listed(list()), (QStringList{"Default", "Beta"}));
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("Beta")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("BBB"));
    // The pick survives the refused removal: Load still loads Beta.
    options()->ui->cmdLoadPortfolio->click();
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
    options()->ui->cmdRemovePortfolio->click();
    QCOMPARE(listed(list()), (QStringList{"Default", "Gamma"}));
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Gamma")); // position 1 loaded
    QCOMPARE(symbolList(), QStringList{QStringLiteral("CCC")});
    options()->ui->cmdOK->click();
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
    options()->ui->cmdRemovePortfolio->click();
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));
    QCOMPARE(symbolList(), QStringList{QStringLiteral("AAA")});

    // The last entry: "Default" is made again, empty, with the four default rows.
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->ui->cmdRemovePortfolio->setEnabled(true);
    options()->ui->cmdRemovePortfolio->click();
    QCOMPARE(listed(list()), QStringList{QStringLiteral("Default")});
    QCOMPARE(list()->currentIndex(), 0);
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Default"));
    QCOMPARE(symbolList(), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    QCOMPARE(storedSlots(), QStringList{QStringLiteral("Default")});
    options()->ui->cmdOK->click();
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
    QCOMPARE(listed(list()), (QStringList{"Default", "Beta", "Gamma"}));
    QCOMPARE(storedSlots(), (QStringList{"Default", "", "", "", "Beta", "", "", "", "Gamma"}));
    // The skipped name's own section is not touched.
    QCOMPARE(SettingsStore::read(SettingsStore::portfolioSection(QStringLiteral("BETA")),
                                 QStringLiteral("Symbol0")),
             QStringLiteral("UPPER"));

    // Removing a listed portfolio removes its section and nothing else.
    pick(1);
    m_platform.messageBox.answers.push_back(QMessageBox::Yes);
    options()->ui->cmdRemovePortfolio->click();
    QCOMPARE(listed(list()), (QStringList{"Default", "Gamma"}));
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
    options()->ui->chkEnableLowAlert->setChecked(false);
    options()->ui->txtFee->setText(QStringLiteral("9.95"));
    options()->ui->cboSeconds->setCurrentIndex(3);
    pick(1);
    options()->ui->cmdOK->click();

    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("Symbol0")), QStringLiteral("EDITED"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("EnableLowAlert")), QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("TradeFee")), QStringLiteral("9.95"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("UpdateSeconds")), QStringLiteral("3"));
    // Beta is loaded with its own values and saved with them.
    QCOMPARE(m_main->state().CurrentPortfolio, QStringLiteral("Beta"));
    QCOMPARE(symbolList(), QStringList{QStringLiteral("BBB")});
    QCOMPARE(options()->ui->txtFee->text(), QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("TradeFee")), QStringLiteral("0"));
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("Symbol0")), QStringLiteral("BBB"));
    QCOMPARE(options()->ui->cboSeconds->currentIndex(), 5);
    QCOMPARE(SettingsStore::read(beta, QStringLiteral("UpdateSeconds")), QStringLiteral("5"));
    QCOMPARE(m_main->state().WindowMode, QStringLiteral("Ticker"));
    QCOMPARE(SettingsStore::read(defaults, QStringLiteral("Mode")), QStringLiteral("Browser"));
}

QTEST_MAIN(TestPortfolios)
#include "tst_portfolios.moc"
