#include "support/MainHarness.h"

#include "app/SettingsIO.h"
#include "app/UpdateCycle.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "feed/QuoteFeed.h"
#include "feed/StooqSource.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "options/OptionsLayout.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "screen/Colors.h"
#include "screen/Twips.h"
#include "settings/Catalogues.h"
#include "settings/SettingsStore.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QtTest>
#include <QtWidgets>

namespace {

bool logged(const FlexGrid *grid, int row)
{
    return grid->cellPicture(row, 4).cacheKey() ==
           ImageList::instance().image(ImageList::BoxTicked).cacheKey();
}

QStringList symbolsOf(const FlexGrid *grid)
{
    QStringList symbols;
    for (int r = 1; r < grid->rows(); ++r)
        symbols << grid->textMatrix(r, 0);
    return symbols;
}

} // namespace

class TestOptionsWindow : public QObject
{
    Q_OBJECT

    FakePlatform m_platform;
    MainHarness m_harness;
    std::unique_ptr<StockMain> m_main;
    frmOptions *m_options = nullptr;

    template <typename T> T *find(const char *name) const
    {
        T *w = m_options->findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning("control %s missing", name);
        return w;
    }
    FlexGrid *grid() const { return find<FlexGrid>("gridSymbols"); }
    void typeRow(const QString &symbol, const QString &shares, const QString &low,
                 const QString &high, bool log)
    {
        find<QLineEdit>("txtSymbol")->setText(symbol);
        find<QLineEdit>("txtShares")->setText(shares);
        find<QLineEdit>("txtLowAlert")->setText(low);
        find<QLineEdit>("txtHighAlert")->setText(high);
        find<QCheckBox>("chkLog")->setChecked(log);
    }
    // No usable connection: no LAN or modem link, and no quote address on loopback (which
    // would count as a LAN connection). The addresses are never fetched.
    void goOffline()
    {
        m_platform.connection.flags = 0;
        OptionsModel &settings = m_main->options()->model();
        settings.StockURL.set(QStringLiteral("http://quotes.invalid/q?s="));
        settings.MarketURL.set(QStringLiteral("http://quotes.invalid/m?s="));
        settings.IndicesURL.set(QStringLiteral("http://quotes.invalid/i?s="));
    }
    // Focus changes are not delivered to an offscreen window that is not active, so the
    // focus events the boxes react to are sent directly.
    static void leave(QWidget *box)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }
    void clickCell(int row, int col)
    {
        FlexGrid *g = grid();
        const QRect rect = g->visualRect(g->model()->index(row, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, rect.center());
    }

private Q_SLOTS:
    void init()
    {
        MainHarness::freshStore();
        m_platform.connection.flags = ConnectionStateService::Lan;
        m_platform.messageBox.shown.clear();
        m_platform.dialogs.colorTitles.clear();
        m_main = m_harness.start();
        m_options = m_main->options();
    }
    void cleanup()
    {
        m_main.reset();
        m_options = nullptr;
    }

    void openingStopsTheTimerAndCancelRestartsIt();
    void addingLowerCaseUpdatesTheListedRow();
    void addingANewSymbolAppendsAndAsksForQuotes();
    void symbolThatWouldChangeTheRequestIsRefused_data();
    void symbolThatWouldChangeTheRequestIsRefused();
    void thirtiethSymbolAcceptedThirtyFirstRefused();
    void enterInAnEntryBoxAdds();
    void entryBoxFormatsOnLeaving();
    void logCellClickedTwiceReturnsToItsPicture();
    void gridClickCopiesTheRowIntoTheBoxes();
    void movingRows();
    void removingARowReachesTheStoreAtSave();
    void f2Switch_data();
    void f2Switch();
    void boxTickedThenCancelStaysAndIsSavedAtExit();
    void okFormatsAlertsSavesAndHides();
    void clearingAutoSortResetsTheMoveToolTips();
    void okSwitchesTheBuiltInFeedsSource();
    void colorButtonRecoloursTheGrid_data();
    void colorButtonRecoloursTheGrid();
    void listsSwallowTypedKeysAndIntervalRestartsTheCountdown();
    void controlsAreNamedAndTabsReachableByKeyboard();
    void entryBoxesShowWhatGoesInThem_data();
    void entryBoxesShowWhatGoesInThem();
    void opensAtOneSizeAndPlace();
    void storedPlaceIsKeptOnScreen_data();
    void storedPlaceIsKeptOnScreen();
    void speedLabelsSitUnderTheirPositions();
};

void TestOptionsWindow::openingStopsTheTimerAndCancelRestartsIt()
{
    QVERIFY(m_main->timInterval().isActive());
    m_main->state().PortfolioChanged = true;
    m_main->form()->cmdOptions()->click();
    QVERIFY(m_options->isVisible());
    QVERIFY(!m_main->timInterval().isActive());
    QVERIFY(!m_main->state().PortfolioChanged);

    find<QLineEdit>("txtSymbol")->setText(QStringLiteral("ABC"));
    find<QPushButton>("cmdCancel")->click();
    QVERIFY(!m_options->isVisible());
    QVERIFY(m_main->timInterval().isActive());
    QVERIFY(find<QLineEdit>("txtSymbol")->text().isEmpty());
}

void TestOptionsWindow::addingLowerCaseUpdatesTheListedRow()
{
    QCOMPARE(symbolsOf(grid()), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    typeRow(QStringLiteral("msft"), QStringLiteral("100"), QStringLiteral("1.5"),
            QStringLiteral("42"), true);
    find<QAbstractButton>("cmdAdd")->click();

    QCOMPARE(grid()->rows(), 5);
    QCOMPARE(grid()->textMatrix(1, 0), QStringLiteral("MSFT"));
    QCOMPARE(grid()->textMatrix(1, 1), QStringLiteral("100"));
    QCOMPARE(grid()->textMatrix(1, 2), QStringLiteral("1.50"));
    QCOMPARE(grid()->textMatrix(1, 3), QStringLiteral("42.00"));
    QVERIFY(logged(grid(), 1));
    QVERIFY(!logged(grid(), 2));
    // The boxes are emptied for the next symbol.
    QVERIFY(find<QLineEdit>("txtSymbol")->text().isEmpty());
    QVERIFY(find<QLineEdit>("txtShares")->text().isEmpty());
    QVERIFY(!find<QCheckBox>("chkLog")->isChecked());

    // Adding it again without the log mark clears the mark and keeps the alerts.
    typeRow(QStringLiteral("Msft"), QStringLiteral("7"), QStringLiteral("1.50"),
            QStringLiteral("42"), false);
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->rows(), 5);
    QCOMPARE(grid()->textMatrix(1, 1), QStringLiteral("7"));
    QCOMPARE(grid()->textMatrix(1, 2), QStringLiteral("1.50"));
    QVERIFY(!logged(grid(), 1));
}

void TestOptionsWindow::addingANewSymbolAppendsAndAsksForQuotes()
{
    QSignalSpy requested(m_main.get(), &StockMain::quoteUpdateRequested);
    typeRow(QStringLiteral("orcl"), QString(), QString(), QString(), true);
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->rows(), 6);
    QCOMPARE(grid()->textMatrix(5, 0), QStringLiteral("ORCL"));
    QCOMPARE(grid()->textMatrix(5, 2), QStringLiteral("0.00"));
    QCOMPARE(grid()->textMatrix(5, 3), QStringLiteral("0.00"));
    QVERIFY(logged(grid(), 5));
    QCOMPARE(requested.count(), 1);
    QCOMPARE(m_main->state().SelectedRow, qint16(1));

    // Without a connection nothing is requested; an empty symbol box adds nothing.
    goOffline();
    typeRow(QStringLiteral("hpq"), QString(), QString(), QString(), false);
    find<QAbstractButton>("cmdAdd")->click();
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->rows(), 7);
    QCOMPARE(requested.count(), 1);
    QVERIFY(m_platform.messageBox.shown.isEmpty());
}

void TestOptionsWindow::symbolThatWouldChangeTheRequestIsRefused_data()
{
    // rows: the symbol list's rows after Add (5 before); listed: the symbol as listed, empty
    // when refused; box: a message says why.
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<bool>("box");
    QTest::newRow("ampersand") << "AT&T" << 5 << "" << true;
    QTest::newRow("comma") << "MSFT,IBM" << 5 << "" << true;
    QTest::newRow("blank inside") << "MS FT" << 5 << "" << true;
    QTest::newRow("only blanks") << "   " << 5 << "" << false;
    QTest::newRow("hash") << "A#B" << 5 << "" << true;
    QTest::newRow("question mark") << "A?B" << 5 << "" << true;
    QTest::newRow("percent") << "A%20" << 5 << "" << true;
    QTest::newRow("slash") << "A/B" << 5 << "" << true;
    QTest::newRow("control character") << "A\tB" << 5 << "" << true;
    QTest::newRow("dot, caret, hyphen") << "BRK.B" << 6 << "BRK.B" << false;
    QTest::newRow("index") << "^DJI" << 6 << "^DJI" << false;
    // Pasted with white space around: the listed symbol, not a new row.
    QTest::newRow("tab after") << "csco\t" << 5 << "CSCO" << false;
    QTest::newRow("blank before") << " ibm" << 5 << "IBM" << false;
    QTest::newRow("line break after") << "orcl\r\n" << 6 << "ORCL" << false;
}

void TestOptionsWindow::symbolThatWouldChangeTheRequestIsRefused()
{
    QFETCH(QString, symbol);
    QFETCH(int, rows);
    QFETCH(QString, listed);
    QFETCH(bool, box);
    typeRow(symbol, QStringLiteral("1"), QString(), QString(), false);
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->rows(), rows);
    QCOMPARE(m_platform.messageBox.shown.size(), box ? 1 : 0);
    if (box) {
        QVERIFY(m_platform.messageBox.shown.first().title.startsWith(QStringLiteral("Vantora")));
        QVERIFY(m_platform.messageBox.shown.first().text.contains(symbol));
    }
    if (listed.isEmpty())
        return;
    QCOMPARE(symbolsOf(grid()).count(listed), 1);
    if (rows == 5)
        return;
    // A symbol that cannot be asked for (edited into the store by hand) keeps its row and
    // its place, is said once, and is saved back as it was; the request leaves it out.
    const QString section = QStringLiteral("Settings\\Portfolios\\Default");
    m_main->settings().SaveSettings();
    SettingsStore::write(section, QStringLiteral("Symbol1"), QStringLiteral(" A,B\t"));
    m_main->settings().GetSettings();
    m_main->settings().GetSettings();
    QCOMPARE(symbolsOf(grid()), (QStringList{"MSFT", "A,B", "IBM", "DELL", listed}));
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QVERIFY(m_platform.messageBox.shown.first().title.startsWith(QStringLiteral("Vantora")));
    QVERIFY(m_platform.messageBox.shown.first().text.contains(QStringLiteral("\"A,B\"")));
    m_main->settings().SaveSettings();
    QCOMPARE(SettingsStore::read(section, QStringLiteral("Symbol1")), QStringLiteral("A,B"));
    QCOMPARE(m_main->quoteDownload().requestList().symbols,
             (QStringList{"msft", "ibm", "dell", listed.toLower()}));
}

void TestOptionsWindow::thirtiethSymbolAcceptedThirtyFirstRefused()
{
    goOffline();
    for (int i = 5; i <= 30; ++i) {
        typeRow(QStringLiteral("S%1").arg(i), QString(), QString(), QString(), false);
        find<QAbstractButton>("cmdAdd")->click();
    }
    QCOMPARE(grid()->rows(), 31);
    QCOMPARE(grid()->textMatrix(30, 0), QStringLiteral("S30"));
    QVERIFY(m_platform.messageBox.shown.isEmpty());

    typeRow(QStringLiteral("S31"), QString(), QString(), QString(), false);
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->rows(), 31);
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, QStringLiteral("Symbol List Full"));
    QCOMPARE(m_platform.messageBox.shown[0].text,
             QStringLiteral("Symbol list full - Can't add any more symbols."));
    QCOMPARE(m_platform.messageBox.shown[0].icon, MessageBoxService::Icon::Warning);

    // A listed symbol can still be updated in a full list.
    typeRow(QStringLiteral("s30"), QStringLiteral("5"), QString(), QString(), false);
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(grid()->textMatrix(30, 1), QStringLiteral("5"));
}

void TestOptionsWindow::enterInAnEntryBoxAdds()
{
    typeRow(QStringLiteral("intc"), QStringLiteral("3"), QString(), QString(), false);
    QLineEdit *shares = find<QLineEdit>("txtShares");
    QTest::keyClick(shares, Qt::Key_Return);
    QCOMPARE(grid()->rows(), 6);
    QCOMPARE(grid()->textMatrix(5, 0), QStringLiteral("INTC"));
    QCOMPARE(grid()->textMatrix(5, 1), QStringLiteral("3"));
}

void TestOptionsWindow::entryBoxFormatsOnLeaving()
{
    QLineEdit *low = find<QLineEdit>("txtLowAlert");
    QLineEdit *shares = find<QLineEdit>("txtShares");
    QLineEdit *symbol = find<QLineEdit>("txtSymbol");
    symbol->setText(QStringLiteral("x"));
    QCOMPARE(shares->text(), QStringLiteral("0")); // the symbol's change resets the others
    QCOMPARE(low->text(), QStringLiteral("0.00"));

    low->setText(QStringLiteral("3.456"));
    leave(low);
    QCOMPARE(low->text(), QStringLiteral("3.46"));
    QLineEdit *high = find<QLineEdit>("txtHighAlert");
    high->setText(QStringLiteral("abc"));
    leave(high);
    QCOMPARE(high->text(), QStringLiteral("0.00"));
    shares->setText(QStringLiteral("12.7"));
    leave(shares);
    QCOMPARE(shares->text(), QStringLiteral("13"));
    // The symbol box keeps what was typed.
    symbol->setText(QStringLiteral("ibm"));
    leave(symbol);
    QCOMPARE(symbol->text(), QStringLiteral("ibm"));
}

void TestOptionsWindow::logCellClickedTwiceReturnsToItsPicture()
{
    m_options->show();
    QVERIFY(!logged(grid(), 2));
    clickCell(2, 4);
    QVERIFY(logged(grid(), 2));
    QVERIFY(find<QCheckBox>("chkLog")->isChecked());
    clickCell(2, 4);
    QVERIFY(!logged(grid(), 2));
    QVERIFY(!find<QCheckBox>("chkLog")->isChecked());
    QVERIFY(!logged(grid(), 1));
}

void TestOptionsWindow::gridClickCopiesTheRowIntoTheBoxes()
{
    m_options->show();
    grid()->setTextMatrix(3, 1, QStringLiteral("25"));
    grid()->setTextMatrix(3, 2, QStringLiteral("80.00"));
    clickCell(3, 0);
    QCOMPARE(find<QLineEdit>("txtSymbol")->text(), QStringLiteral("IBM"));
    QCOMPARE(find<QLineEdit>("txtShares")->text(), QStringLiteral("25"));
    QCOMPARE(find<QLineEdit>("txtLowAlert")->text(), QStringLiteral("80.00"));
    QCOMPARE(find<QLineEdit>("txtHighAlert")->text(), QStringLiteral("0.00"));
    QVERIFY(!logged(grid(), 3)); // a click outside the Log column leaves the picture

    // Add then edits that row in place.
    find<QLineEdit>("txtShares")->setText(QStringLiteral("30"));
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->rows(), 5);
    QCOMPARE(grid()->textMatrix(3, 1), QStringLiteral("30"));
    QCOMPARE(grid()->textMatrix(3, 2), QStringLiteral("80.00"));
}

void TestOptionsWindow::movingRows()
{
    const QStringList start{"MSFT", "CSCO", "IBM", "DELL"};
    grid()->setRow(1);
    find<QAbstractButton>("cmdMoveUp")->click();
    QCOMPARE(symbolsOf(grid()), start);

    grid()->setRow(4);
    find<QAbstractButton>("cmdMoveDown")->click();
    QCOMPARE(symbolsOf(grid()), start);

    grid()->setRow(1);
    find<QAbstractButton>("cmdMoveDown")->click();
    QCOMPARE(symbolsOf(grid()), (QStringList{"CSCO", "MSFT", "IBM", "DELL"}));
    QCOMPARE(grid()->row(), 2); // the moved row stays selected
    find<QAbstractButton>("cmdMoveDown")->click();
    QCOMPARE(symbolsOf(grid()), (QStringList{"CSCO", "IBM", "MSFT", "DELL"}));
    find<QAbstractButton>("cmdMoveUp")->click();
    find<QAbstractButton>("cmdMoveUp")->click();
    QCOMPARE(symbolsOf(grid()), start);
    QCOMPARE(grid()->row(), 1);
}

void TestOptionsWindow::removingARowReachesTheStoreAtSave()
{
    m_options->show();
    find<QPushButton>("cmdOK")->click(); // stores the four rows
    QCOMPARE(MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("Symbol3")),
             QStringLiteral("DELL"));

    grid()->setRow(2);
    find<QAbstractButton>("cmdRemoveButton")->click();
    QCOMPARE(symbolsOf(grid()), (QStringList{"MSFT", "IBM", "DELL"}));
    // The store changes only at the next save: loaded before it, the list is as stored.
    QCOMPARE(MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("Symbol3")),
             QStringLiteral("DELL"));
    m_main->settings().GetSettings();
    QCOMPARE(symbolsOf(grid()), (QStringList{"MSFT", "CSCO", "IBM", "DELL"}));
    grid()->setRow(2);
    find<QAbstractButton>("cmdRemoveButton")->click();

    // Without a selected data row nothing is removed.
    grid()->setRow(0);
    find<QAbstractButton>("cmdRemoveButton")->click();
    QCOMPARE(grid()->rows(), 4);

    // Saved and loaded again, the list holds the three rows.
    m_main->saveAll();
    QVERIFY(
        MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("Symbol3")).isEmpty());
    m_main.reset();
    m_main = m_harness.start();
    m_options = m_main->options();
    QCOMPARE(symbolsOf(grid()), (QStringList{"MSFT", "IBM", "DELL"}));
}

void TestOptionsWindow::f2Switch_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("startMode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mode");
    const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    QTest::newRow("F2 alone empties") << 0 << false << QString() << false;
    QTest::newRow("Shift+Alt real-time")
        << (shift | alt) << false << QStringLiteral("Real-Time") << true;
    QTest::newRow("Shift+Ctrl delayed")
        << (shift | ctrl) << true << QStringLiteral("Delayed") << false;
    QTest::newRow("all three empties") << (shift | ctrl | alt) << true << QString() << true;
    QTest::newRow("Alt alone empties") << alt << false << QString() << false;
}

void TestOptionsWindow::f2Switch()
{
    QFETCH(int, modifiers);
    QFETCH(bool, startMode);
    QFETCH(QString, text);
    QFETCH(bool, mode);
    m_main->state().RealTimeMode = startMode;
    QLineEdit *symbol = find<QLineEdit>("txtSymbol");
    symbol->setText(QStringLiteral("abc"));
    QTest::keyClick(symbol, Qt::Key_F2, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(symbol->text(), text);
    QCOMPARE(m_main->state().RealTimeMode, mode);
    if (!text.isEmpty()) {
        // The quote grid's labels, the sort list and the interval list follow the mode.
        FlexGrid *quotes = m_main->form()->gridQuotes();
        QCOMPARE(quotes->textMatrix(0, 1), QuoteGrid::headers(mode).at(1));
        QCOMPARE(find<QComboBox>("cboSort")->itemText(1), Catalogues::sortColumnLabels(mode).at(1));
        QCOMPARE(find<QComboBox>("cboSeconds")->count(), mode ? 14 : 11);
    }
}

void TestOptionsWindow::boxTickedThenCancelStaysAndIsSavedAtExit()
{
    m_main->form()->cmdOptions()->click();
    QCheckBox *low = find<QCheckBox>("chkEnableLowAlert");
    QVERIFY(!low->isChecked());
    low->setChecked(true);
    QVERIFY(find<QRadioButton>("optAlertSound")->isEnabled());
    find<QPushButton>("cmdCancel")->click();
    QVERIFY(low->isChecked());
    QVERIFY(MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("EnableLowAlert"))
                .isEmpty());

    m_main->saveAll(); // what Exit saves
    QCOMPARE(MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("EnableLowAlert")),
             QStringLiteral("1"));
}

void TestOptionsWindow::okFormatsAlertsSavesAndHides()
{
    m_main->form()->cmdOptions()->click();
    grid()->setTextMatrix(2, 2, QStringLiteral(".5"));
    grid()->setTextMatrix(2, 3, QStringLiteral("abc"));
    find<QLineEdit>("txtSymbol")->setText(QStringLiteral("half typed"));
    m_main->state().SelectedRow = 3;
    find<QPushButton>("cmdOK")->click();

    QVERIFY(!m_options->isVisible());
    QVERIFY(m_main->timInterval().isActive());
    QVERIFY(m_main->state().SymbolsChanged);
    QCOMPARE(grid()->textMatrix(2, 2), QStringLiteral("0.50"));
    QCOMPARE(grid()->textMatrix(2, 3), QStringLiteral("0.00"));
    QVERIFY(find<QLineEdit>("txtSymbol")->text().isEmpty());
    QCOMPARE(MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("LowAlert2")),
             QStringLiteral("0.50"));
    QCOMPARE(MainHarness::stored(QStringLiteral("Settings"), QStringLiteral("Portfolio0")),
             QStringLiteral("Default"));
    QCOMPARE(m_main->form()->gridQuotes()->row(), 3);
}

void TestOptionsWindow::okSwitchesTheBuiltInFeedsSource()
{
    QuoteFeed *feed = QuoteFeed::inProcess();
    QVERIFY2(feed, "the start-up starts the feed on the default addresses");
    QCOMPARE(feed->sourceName(), QStringLiteral("simulated"));
    const std::shared_ptr<QuoteSource> simulated = feed->source();

    m_main->form()->cmdOptions()->click();
    auto *sources = find<QComboBox>("cboQuoteSource");
    sources->setCurrentIndex(sources->findData(QStringLiteral("stooq")));
    QCOMPARE(sources->currentText(), QStringLiteral("Stooq"));
    QCOMPARE(feed->source(), simulated); // nothing changes before OK
    find<QPushButton>("cmdOK")->click();
    QCOMPARE(QuoteFeed::inProcess(), feed); // the same feed, no restart
    QCOMPARE(feed->sourceName(), QStringLiteral("stooq"));
    QVERIFY(dynamic_cast<StooqSource *>(feed->source().get()));
    QCOMPARE(MainHarness::stored(QStringLiteral("Settings"), QStringLiteral("QuoteSource")),
             QStringLiteral("stooq"));

    // OK again without a change keeps the source, and its cache, as it is.
    const std::shared_ptr<QuoteSource> stooq = feed->source();
    m_main->form()->cmdOptions()->click();
    find<QPushButton>("cmdOK")->click();
    QCOMPARE(feed->source(), stooq);
    QuoteFeed::setInProcessSource(QStringLiteral("simulated"));
}

void TestOptionsWindow::clearingAutoSortResetsTheMoveToolTips()
{
    QCheckBox *autoSort = find<QCheckBox>("chkEnableAutoSort");
    QLabel *up = m_main->form()->picMoveUp();
    QLabel *down = m_main->form()->picMoveDown();
    up->setToolTip(QStringLiteral("Sort"));
    down->setToolTip(QStringLiteral("Sort"));
    autoSort->setChecked(true);
    QVERIFY(find<QComboBox>("cboSort")->isEnabled());
    QCOMPARE(up->toolTip(), QStringLiteral("Sort"));
    autoSort->setChecked(false);
    QVERIFY(!find<QComboBox>("cboSort")->isEnabled());
    QCOMPARE(up->toolTip(), QStringLiteral("Move up"));
    QCOMPARE(down->toolTip(), QStringLiteral("Move down"));
}

void TestOptionsWindow::colorButtonRecoloursTheGrid_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("colour chosen") << true;
    QTest::newRow("dialog cancelled") << false;
}

void TestOptionsWindow::colorButtonRecoloursTheGrid()
{
    QFETCH(bool, chosen);
    find<QCheckBox>("chkUseDefaultColors")->setChecked(false);
    const QColor before = Colors::fromBgr(m_main->options()->model().EvenRowColor.value());
    const QColor pick(0x12, 0x34, 0x56);
    m_platform.dialogs.colors.push_back(chosen ? std::optional<QColor>(pick) : std::nullopt);
    auto *button = find<QPushButton>("cmdEvenRowColor");
    button->click();

    QCOMPARE(m_platform.dialogs.colorTitles, QStringList{"Vantora Ticker Color Selection"});
    const QColor expected = chosen ? pick : before;
    QCOMPARE(Colors::fromBgr(m_main->options()->model().EvenRowColor.value()), expected);
    QCOMPARE(frmOptions::buttonBackColor(button), expected);
    FlexGrid *quotes = m_main->form()->gridQuotes();
    QCOMPARE(quotes->cellBackColor(2, 0), expected);

    // The default colours take over at once and lock the buttons.
    find<QCheckBox>("chkUseDefaultColors")->setChecked(true);
    QVERIFY(quotes->cellBackColor(2, 0) != pick);
    QVERIFY(!button->isEnabled());
}

void TestOptionsWindow::listsSwallowTypedKeysAndIntervalRestartsTheCountdown()
{
    for (const char *name : {"cboSeconds", "cboHomePage"}) {
        auto *list = find<QComboBox>(name);
        list->setCurrentIndex(4);
        QTest::keyClicks(list, QStringLiteral("1s"));
        QCOMPARE(list->currentIndex(), 4);
    }
    UpdateCycle &cycle = m_main->updateCycle();
    cycle.UpdateElapsed = 30;
    auto *seconds = find<QComboBox>("cboSeconds");
    QTest::keyClick(seconds, Qt::Key_Down); // picking still works
    QCOMPARE(seconds->currentIndex(), 5);
    QCOMPARE(cycle.UpdateElapsed, qint16(0));
    QCOMPARE(cycle.UpdateInterval, qint16(qRound(Val(seconds->currentText()))));
}

void TestOptionsWindow::controlsAreNamedAndTabsReachableByKeyboard()
{
    for (QWidget *w : m_options->findChildren<QWidget *>()) {
        // The tab control is named by its tabs.
        if (!(w->focusPolicy() & Qt::TabFocus) || w->window() != m_options ||
            qobject_cast<QTabWidget *>(w) || w->objectName().isEmpty() ||
            w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
    }
    auto *tabs = find<QTabWidget>("SSTab1");
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(tabs->tabBar());
    QCOMPARE(bar->child(1)->text(QAccessible::Name), QStringLiteral("Trades"));
    QVERIFY(tabs->tabBar()->focusPolicy() & Qt::TabFocus);
    tabs->setCurrentIndex(0);
    QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
}

void TestOptionsWindow::entryBoxesShowWhatGoesInThem_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("hint");
    for (const auto &[box, hint] : {std::pair{"txtSymbol", "Symbol"},
                                    {"txtShares", "Shares"},
                                    {"txtLowAlert", "Low Alert"},
                                    {"txtHighAlert", "High Alert"}})
        QTest::newRow(box) << QString::fromLatin1(box) << QString::fromLatin1(hint);
}
void TestOptionsWindow::entryBoxesShowWhatGoesInThem()
{
    QFETCH(QString, box);
    QFETCH(QString, hint);
    QLineEdit *edit = find<QLineEdit>(qPrintable(box));
    m_main->form()->cmdOptions()->click();
    QCOMPARE(edit->placeholderText(), hint);
    // Empty, its hint showing, after Add and after a typed symbol is given up.
    typeRow("XYZ", "5", "1", "2", false);
    find<QAbstractButton>("cmdAdd")->click();
    QCOMPARE(grid()->textMatrix(5, 0), QStringLiteral("XYZ"));
    QVERIFY(edit->text().isEmpty());
    find<QLineEdit>("txtSymbol")->setText(QStringLiteral("ABC"));
    find<QPushButton>("cmdCancel")->click();
    QVERIFY(edit->text().isEmpty());
}

void TestOptionsWindow::opensAtOneSizeAndPlace()
{
    m_main->form()->cmdOptions()->click();
    const QSize size = m_options->size();
    QTabWidget *tabs = m_options->SSTab1();
    for (int i = tabs->count() - 1; i >= 0; --i) {
        tabs->setCurrentIndex(i); // every tab fits from the first opening on
        QCoreApplication::processEvents();
        QCOMPARE(m_options->size(), size);
    }
    const QPoint place = m_options->pos() + QPoint(3, 1);
    m_options->move(place);
    find<QPushButton>("cmdCancel")->click();
    for (int run = 0; run < 2; ++run) { // this run, then the next one
        m_main->form()->cmdOptions()->click();
        QCOMPARE(m_options->size(), size);
        QCOMPARE(m_options->pos(), place);
        find<QPushButton>("cmdOK")->click();
        QCOMPARE(Val(MainHarness::stored("Settings", "OptionsLeft")), Twips::toTwips(place.x()));
        QCOMPARE(Val(MainHarness::stored("Settings", "OptionsTop")), Twips::toTwips(place.y()));
        m_main.reset();
        m_main = m_harness.start();
        m_options = m_main->options();
    }
}

void TestOptionsWindow::storedPlaceIsKeptOnScreen_data()
{
    // Places and the expected result as fractions of the available area (x, y);
    // (-9, -9): nothing stored; (-1, -1) expected: centred.
    QTest::addColumn<QPointF>("stored");
    QTest::addColumn<QPointF>("place");
    QTest::newRow("inside") << QPointF(0.25, 0.5) << QPointF(0.25, 0.5);
    QTest::newRow("sticking out") << QPointF(0.9, 0.9) << QPointF(0.75, 0.75);
    QTest::newRow("on no screen") << QPointF(-5, 0) << QPointF(-1, -1);
    QTest::newRow("nothing stored") << QPointF(-9, -9) << QPointF(-1, -1);
}
void TestOptionsWindow::storedPlaceIsKeptOnScreen()
{
    QFETCH(QPointF, stored);
    QFETCH(QPointF, place);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size(area.width() / 4, area.height() / 4);
    const auto at = [&](QPointF f) {
        return area.topLeft() + QPoint(qRound(f.x() * area.width()), qRound(f.y() * area.height()));
    };
    const std::optional<QPoint> given =
        stored.x() < -8 ? std::nullopt : std::optional<QPoint>(at(stored));
    const QPoint expected = place.x() < 0 ? at({0.375, 0.375}) : at(place);
    QCOMPARE(OptionsLayout::placeOnScreen(given, size), expected);
}

void TestOptionsWindow::speedLabelsSitUnderTheirPositions()
{
    m_main->form()->cmdOptions()->click();
    m_options->SSTab1()->setCurrentIndex(2);
    const QRect slider(m_options->ScrollSlider()->mapTo(m_options, QPoint(0, 0)),
                       m_options->ScrollSlider()->size());
    const int slack = slider.height(); // about the handle's width, at the ends
    // Below the slider and within its span, each over its position (share of the length).
    for (const auto &[label, share] : {std::pair{m_options->lblSpeedSlow(), 0.0},
                                       {m_options->lblSpeedNormal(), 0.5},
                                       {m_options->lblSpeedFast(), 1.0}}) {
        const QRect rect(label->mapTo(m_options, QPoint(0, 0)), label->size());
        const int tick = slider.left() + qRound(share * slider.width());
        QVERIFY2(share == 0.5 ? qAbs(rect.center().x() - tick) <= 2
                              : rect.left() - slack <= tick && tick <= rect.right() + slack,
                 qPrintable(label->text()));
        QVERIFY(rect.left() >= slider.left() && rect.right() <= slider.right());
        QVERIFY(rect.top() >= slider.bottom());
    }
}

QTEST_MAIN(TestOptionsWindow)
#include "tst_optionswindow.moc"
