#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "screen/Twips.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

QString captionOf(const QWidget *w)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (auto *frame = qobject_cast<const QGroupBox *>(w))
        return frame->title();
    return {};
}

// The controls that can take the keyboard focus on the current tab, in focus-chain order,
// starting at `first` and ending after the window's last bottom control.
QStringList focusChain(QWidget *dialog, QWidget *first, const QString &last)
{
    QStringList names;
    QWidget *w = first;
    for (int guard = 0; guard < 1000; ++guard) {
        const QString name = w->objectName();
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(dialog) && !name.isEmpty() &&
            !name.startsWith(QLatin1String("qt_")))
            names << name;
        if (name == last)
            break;
        w = w->nextInFocusChain();
        if (w == first)
            break;
    }
    return names;
}

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frmOptions> m_form;
    QWidget *find(const QString &name) const { return m_form->findChild<QWidget *>(name); }
    template <typename T> T *find(const char *name) const
    {
        T *w = m_form->findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning("control %s missing", name);
        return w;
    }

private Q_SLOTS:
    void init() { m_form = std::make_unique<frmOptions>(); }
    void cleanup() { m_form.reset(); }

    void windowIsTopMostDialogWithTitle();
    void publicUiReachesTheControls();
    void tabsInOrder();
    void controls_data();
    void controls();
    void indexBoxes_data();
    void indexBoxes();
    void indexFramesInOrder();
    void sortOrderOptions();
    void tradesTabStartsIdle();
    void listsFilledElsewhereStartEmpty();
    void scrollSliderRange();
    void tabOrder_data();
    void tabOrder();
    void everyVisibleControlHasAName();
    void alertTypeButtons_data();
    void alertTypeButtons();
    void alertTypeButtonsFollowTheLastTickedBox();
    void autoSortEnablesSortControls();
    void scrollerEnabling();
    void colourBoxesAskForRecolouring();
    void dialUpAndProxyExcludeEachOther();
    void loadedValuesRunHandlersOnlyWhenChanged();
    void setUpPreparesSymbolList();
    void setUpKeepsSymbolRows();
    void buttonBackColor_data();
    void buttonBackColor();
};

void TestFrmOptions::windowIsTopMostDialogWithTitle()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Vantora v2.0"));
    QVERIFY(m_form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(m_form->windowType(), Qt::Dialog);
    QCOMPARE(m_form->objectName(), QStringLiteral("frmOptions"));
}

void TestFrmOptions::publicUiReachesTheControls()
{
    QCOMPARE(m_form->chkLogging(), find("chkLogging"));
    QCOMPARE(m_form->gridSymbols(), find("gridSymbols"));
    QVERIFY(qobject_cast<FlexGrid *>(m_form->gridSymbols()));
    QCOMPARE(m_form->SSTab1(), find("SSTab1"));
}

void TestFrmOptions::tabsInOrder()
{
    auto *tabs = find<QTabWidget>("SSTab1");
    QVERIFY(tabs);
    const QStringList expected = {QStringLiteral("&Quotes"), QStringLiteral("&Trades"),
                                  QStringLiteral("&Options"), QStringLiteral("US &Indices")};
    QCOMPARE(tabs->count(), expected.size());
    for (int i = 0; i < tabs->count(); ++i)
        QCOMPARE(tabs->tabText(i), expected.at(i));
    QCOMPARE(tabs->currentIndex(), 0);
}

void TestFrmOptions::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("tab"); // -1: below the tabs
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");

    const QString none;
    auto row = [](const char *name, const char *kind, int tab, const QString &caption,
                  const QString &toolTip) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << tab
                            << caption << toolTip;
    };
    auto s = [](const char *text) { return QString::fromUtf8(text); };

    // Quotes
    row("FrameSymbols", "QGroupBox", 0, s("Add/Remove Symbols"), none);
    row("FrameAlerts", "QGroupBox", 0, s("Stock Price Alerts"), none);
    row("FrameAutoUpdate", "QGroupBox", 0, s("Automatic Quote Update"), none);
    row("FrameSort", "QGroupBox", 0, s("Sort Data Options"), none);
    row("FrameLogging", "QGroupBox", 0, s("Quote Logging"), none);
    row("gridSymbols", "FlexGrid", 0, none, s("Click a row then edit, remove, or move data"));
    row("lblAddSymbol", "QLabel", 0, s("Add/Edit:"), none);
    row("txtSymbol", "QLineEdit", 0, none, s("Click a symbol or add a new symbol here"));
    row("txtShares", "QLineEdit", 0, none, s("Number of shares that you own"));
    row("txtLowAlert", "QLineEdit", 0, none, s("Optional low price alert"));
    row("txtHighAlert", "QLineEdit", 0, none, s("Optional high price alert"));
    row("chkLog", "QCheckBox", 0, none, s("Enable Logging of this stock"));
    row("cmdAdd", "QAbstractButton", 0, none, s("Add stock to list"));
    row("cmdRemoveButton", "QAbstractButton", 0, none, s("Remove highlighted stock from list"));
    row("cmdMoveUp", "QAbstractButton", 0, none, s("Move up one row"));
    row("cmdMoveDown", "QAbstractButton", 0, none, s("Move down one row"));
    row("chkEnableLowAlert", "QCheckBox", 0, s("Enable Low Alerts"),
        s("Enable all low price alerts"));
    row("chkEnableHighAlert", "QCheckBox", 0, s("Enable High Alerts"),
        s("Enable all high price alerts"));
    row("optAlertVisual", "QRadioButton", 0, s("Visual Only"),
        s("Alerts indicated by cell color changes only"));
    row("optAlertPopUp", "QRadioButton", 0, s("Alert Pop-Up"),
        s("Pop-up dialog box for all alerts"));
    row("optAlertSound", "QRadioButton", 0, s("Alert Sound"),
        s("Play a sound for low and high alerts"));
    row("chkAlertNotify", "QCheckBox", 0, s("Desktop Notifications"),
        s("Also show each alert as a desktop notification"));
    row("chkQuoteUpdate", "QCheckBox", 0, s("Update Quotes Every"),
        s("Automatically check for quote updates"));
    row("cboSeconds", "QComboBox", 0, none, s("Select update time interval"));
    row("lblSeconds", "QLabel", 0, s("Minutes"), none);
    row("lblQuoteSource", "QLabel", 0, s("Quote source"), none);
    row("cboSort", "QComboBox", 0, none, s("Select column to automatically sort by"));
    row("chkEnableAutoSort", "QCheckBox", 0, s("Enable Auto-Sorting"), none);
    row("chkEnableClickSort", "QCheckBox", 0, s("Enable Click Sorting"),
        s("Enable Shift-click to sort by any column"));
    row("chkLogging", "QCheckBox", 0, s("Enable Quote Logging"), none);
    row("chkSeparateLogFiles", "QCheckBox", 0, s("Separate Log Files"), none);
    row("cmdEditQuoteLog", "QPushButton", 0, s("&Read/Edit Log"), none);

    // Trades
    row("FrameTrade", "QGroupBox", 1, s("Transaction Tracker"), none);
    row("FrameAccountSummary", "QGroupBox", 1, s("Account Summary"), none);
    row("cboBuySell", "QComboBox", 1, none, s("Select transaction type"));
    row("txtBuySellShares", "QLineEdit", 1, none, s("Quantity of shares bought or sold"));
    row("txtBuySellSymbol", "QLineEdit", 1, none, s("Symbol of company bought or sold"));
    row("txtBuySellPrice", "QLineEdit", 1, none, s("Price in dollars per share bought or sold"));
    row("txtFee", "QLineEdit", 1, none, s("Enter your broker's fee totals for each trade"));
    row("lblFee", "QLabel", 1, s("Broker's Fee:"), none);
    row("txtTracking", "QLineEdit", 1, none, s("Your broker's tracking number"));
    row("lblTracking", "QLabel", 1, s("Tracking Number:"), none);
    row("cmdLogTransaction", "QPushButton", 1, s("&Log"), s("Add to log"));
    row("txtTransactionLog", "QTextEdit", 1, none, none);
    row("cmdOpen", "QAbstractButton", 1, none, s("Open/edit trade log"));
    row("cmdPrint", "QAbstractButton", 1, none, s("Print trade log"));
    row("cmdAbortPrint", "QAbstractButton", 1, none, s("Cancel printing"));
    row("cmdDelLog", "QAbstractButton", 1, none, s("Permanently delete log file"));
    row("txtCash", "QLineEdit", 1, none, s("Real cash available"));
    row("lblCash", "QLabel", 1, s("Available Cash:"), none);
    row("txtValue", "QLineEdit", 1, none, s("Total value of stocks"));
    row("lblValue", "QLabel", 1, s("Stock Value:"), none);
    row("txtGainLoss", "QLineEdit", 1, none, s("Stock gain/loss for the day"));
    row("txtDate", "QLineEdit", 1, none, none);
    row("txtTime", "QLineEdit", 1, none, none);
    row("chkShow", "QCheckBox", 1, s("Show On Front Panel"),
        s("Show portfolio cash value on front panel"));

    // Options
    row("FrameScrollerOptions", "QGroupBox", 2, s("Scrolling Index Ticker"), none);
    row("FrameDialupOptions", "QGroupBox", 2, s("DialUp Networking"), none);
    row("FrameProxy", "QGroupBox", 2, s("Proxy Server"), none);
    row("frameHomepage", "QGroupBox", 2, s("Homepage/Broker Login"), none);
    row("FrameColors", "QGroupBox", 2, s("Ticker Colors"), none);
    row("FrameOptions", "QGroupBox", 2, s("Window Options"), none);
    row("FrameProfile", "QGroupBox", 2, s("Select Portfolio"), none);
    row("cmdGraphForeColor", "QPushButton", 2, s("Row Text"), s("Select ticker row text color"));
    row("cmdEvenRowColor", "QPushButton", 2, s("Even Row"), s("Select ticker even rows color"));
    row("cmdOddRowColor", "QPushButton", 2, s("Odd Row"), s("Select ticker odd rows color"));
    row("cmdFixedForeColor", "QPushButton", 2, s("Header Text"),
        s("Select ticker header text color"));
    row("cmdHeaderBackColor", "QPushButton", 2, s("Header"), s("Select ticker header color"));
    row("chkShowGridLines", "QCheckBox", 2, s("Show Grid Lines"), none);
    row("chkUseDefaultColors", "QCheckBox", 2, s("Use Default Colors"), none);
    row("chkScroll", "QCheckBox", 2, s("Enable Scrolling Index Ticker"),
        s("Check to run the Index scroller (recommended)"));
    row("chkPauseScroll", "QCheckBox", 2, s("Pause for"), s("Check to pause each index"));
    row("cboPauseScroll", "QComboBox", 2, none, none);
    row("lblPauseSeconds", "QLabel", 2, s("Seconds"), none);
    row("ScrollSlider", "QSlider", 2, none, s("Index ticker scroll speed"));
    row("lblScrollSpeed", "QLabel", 2, s("Scroll Speed"), none);
    row("lblSpeedSlow", "QLabel", 2, s("Slow"), none);
    row("lblSpeedNormal", "QLabel", 2, s("Normal"), none);
    row("lblSpeedFast", "QLabel", 2, s("Fast"), none);
    row("chkHomeSeparateBrowser", "QCheckBox", 2, s("Homepage In Separate Browser"),
        s("Automatically go to your Homepage when starting Vantora"));
    row("chkStartHomePage", "QCheckBox", 2, s("Go To Homepage On Start"),
        s("Automatically go to your Homepage when starting Vantora"));
    row("cboHomePage", "QComboBox", 2, none,
        s("Select your online broker or use Vantora Users' Homepage"));
    row("chkStopBrowser", "QCheckBox", 2, s("Stop Browser On Tray Close"),
        s("Stop browser from downloading when closing the tray (not recommended)"));
    row("chkKeepOnTop", "QCheckBox", 2, s("Keep On Top"),
        s("Keep Vantora on top of all other windows"));
    row("chkUseDialUp", "QCheckBox", 2, none, none);
    row("cboDialUpList", "QComboBox", 2, none, none);
    row("chkAutoDial", "QCheckBox", 2, none, none);
    row("chkReconnectOnDisconnect", "QCheckBox", 2, none, none);
    row("chkDisconnectOnExit", "QCheckBox", 2, none, none);
    row("cmdConnect", "QPushButton", 2, none, none);
    row("chkUseProxy", "QCheckBox", 2, s("Use Proxy Server"), none);
    row("txtProxyServer", "QLineEdit", 2, none, none);
    row("txtProxyPort", "QLineEdit", 2, none, none);
    row("lblProxyPort", "QLabel", 2, none, none);
    row("cboPortfolio", "QComboBox", 2, none, none);
    row("cmdLoadPortfolio", "QPushButton", 2, s("&Load"), none);
    row("cmdRemovePortfolio", "QPushButton", 2, s("&Remove"), s("Remove selected portfolio"));
    row("cmdAddPortfolio", "QPushButton", 2, none, s("Create a new portfolio"));

    // Indices
    row("tabIndices", "QWidget", 3, none, none);

    // Below the tabs
    row("cmdOK", "QPushButton", -1, s("O&K"), s("Save settings and exit Options"));
    row("cmdCancel", "QPushButton", -1, s("Ca&ncel"), s("Don't save settings and exit Options"));
    row("picOptionsCalc", "QAbstractButton", -1, none,
        s("Double-click to run the Windows Calculator"));
    row("lblCalc", "QLabel", -1, s("Calculator"), none);
}

void TestFrmOptions::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(int, tab);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);

    QWidget *w = find(name);
    QVERIFY2(w, qPrintable(name));
    QVERIFY2(w->inherits(kind.toLatin1().constData()), w->metaObject()->className());
    if (!caption.isNull())
        QCOMPARE(captionOf(w), caption);
    if (!toolTip.isNull())
        QCOMPARE(w->toolTip(), toolTip);

    auto *tabs = find<QTabWidget>("SSTab1");
    if (tab < 0) {
        QVERIFY(!tabs->isAncestorOf(w));
    } else {
        QVERIFY(tabs->widget(tab) == w || tabs->widget(tab)->isAncestorOf(w));
    }
}

void TestFrmOptions::indexBoxes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("frame");

    struct Row
    {
        const char *symbol;
        const char *caption;
        const char *frame;
    };
    const Row rows[] = {
        {"^DJI", "30 Industrials", "Dow Jones"},
        {"^DJA", "65 Composite", "Dow Jones"},
        {"^DJT", "20 Transportation", "Dow Jones"},
        {"^DJU", "15 Utilities", "Dow Jones"},
        {"^GSPC", "500 Index", "Standard and Poor's"},
        {"^OEX", "100 Index", "Standard and Poor's"},
        {"^MID", "400 MidCap", "Standard and Poor's"},
        {"^SML", "600 SmallCap", "Standard and Poor's"},
        {"^XAX", "Composite", "AMEX"},
        {"^IIX", "Internet", "AMEX"},
        {"^NWX", "Networking", "AMEX"},
        {"^NYA", "Composite", "NYSE"},
        {"^TV.N", "Volume in 000's", "NYSE"},
        {"^NFA", "Financials", "NYSE"},
        {"^NDA", "Industrials", "NYSE"},
        {"^NNA", "Utilities", "NYSE"},
        {"^NHB", "Beta Index", "NYSE"},
        {"^TIC.N", "Tick", "NYSE"},
        {"^STI.N", "ARMS", "NYSE"},
        {"^RUI", "Russell 1000", "Russell"},
        {"^RUT", "Russell 2000", "Russell"},
        {"^RUA", "Russell 3000", "Russell"},
        {"^IXIC", "Composite", "Nasdaq"},
        {"^TV.O", "Volume in 000's", "Nasdaq"},
        {"^NDX", "Nasdaq 100", "Nasdaq"},
        {"^IXBK", "Banks", "Nasdaq"},
        {"^IXFN", "Financials", "Nasdaq"},
        {"^IXF", "Financials 100", "Nasdaq"},
        {"^IXQ", "National Market Composite", "Nasdaq"},
        {"^IXID", "Industrials", "Nasdaq"},
        {"^IXIS", "Insurance", "Nasdaq"},
        {"^IXK", "Computers", "Nasdaq"},
        {"^IXTR", "Transportation", "Nasdaq"},
        {"^IXUT", "Telecommunications", "Nasdaq"},
        {"^NBI", "Biotech", "Nasdaq"},
        {"^TYX", "30-Year Bond", "Treasury Securities (yield x10)"},
        {"^TNX", "10-Year Note", "Treasury Securities (yield x10)"},
        {"^FVX", "5-Year Note", "Treasury Securities (yield x10)"},
        {"^IRX", "13-Week Bill", "Treasury Securities (yield x10)"},
        {"^DJS", "Dow Jones Spot", "Commodities"},
        {"^DJC", "Dow Jones Futures", "Commodities"},
        {"^XAU", "Philadelphia Gold and Silver", "Commodities"},
    };
    static_assert(std::size(rows) == 42);
    int i = 0;
    for (const Row &r : rows) {
        QTest::addRow("%d %s", i, r.symbol)
            << i << QString::fromLatin1(r.symbol) << QString::fromLatin1(r.caption)
            << QString::fromLatin1(r.frame);
        ++i;
    }
}

void TestFrmOptions::indexBoxes()
{
    QFETCH(int, index);
    QFETCH(QString, symbol);
    QFETCH(QString, caption);
    QFETCH(QString, frame);

    QCheckBox *box = m_form->chkIndex[index];
    QVERIFY(box);
    QCOMPARE(box->objectName(), QStringLiteral("chkIndex_%1").arg(index));
    QCOMPARE(find(box->objectName()), box);
    QCOMPARE(box->text(), caption);
    QCOMPARE(m_form->indexSymbol(index), symbol);
    QCOMPARE(box->toolTip(), symbol);
    QVERIFY(!box->isChecked());

    auto *group = qobject_cast<QGroupBox *>(box->parentWidget());
    QVERIFY(group);
    QCOMPARE(group->title(), frame);
    QVERIFY(m_form->tabIndices()->isAncestorOf(group));
}

void TestFrmOptions::indexFramesInOrder()
{
    const QStringList titles = {QStringLiteral("Dow Jones"),
                                QStringLiteral("Standard and Poor's"),
                                QStringLiteral("AMEX"),
                                QStringLiteral("NYSE"),
                                QStringLiteral("Russell"),
                                QStringLiteral("Nasdaq"),
                                QStringLiteral("Treasury Securities (yield x10)"),
                                QStringLiteral("Commodities")};
    const QList<QGroupBox *> frames =
        m_form->tabIndices()->findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(frames.size(), titles.size());
    for (int f = 0; f < titles.size(); ++f) {
        QCOMPARE(m_form->FrameIndex[f]->title(), titles.at(f));
        QCOMPARE(m_form->FrameIndex[f]->objectName(), QStringLiteral("FrameIndex_%1").arg(f));
    }
    // Boxes of one frame are consecutive indices in a column.
    QCOMPARE(m_form->FrameIndex[5]->findChildren<QCheckBox *>().size(), 13);
    QCOMPARE(m_form->indexSymbol(-1), QString());
    QCOMPARE(m_form->indexSymbol(42), QString());
}

void TestFrmOptions::sortOrderOptions()
{
    const std::array<QString, 2> captions = {QStringLiteral("Ascending"),
                                             QStringLiteral("Descending")};
    const std::array<QString, 2> tips = {QStringLiteral("Display in ascending order"),
                                         QStringLiteral("Display in descending order")};
    for (int i = 0; i < 2; ++i) {
        QRadioButton *option = m_form->optSortOrder[i];
        QVERIFY(option);
        QCOMPARE(option->objectName(), QStringLiteral("optSortOrder_%1").arg(i));
        QCOMPARE(option->text(), captions[i]);
        QCOMPARE(option->toolTip(), tips[i]);
        QCOMPARE(option->parentWidget(), find("FrameSort"));
    }
    QVERIFY(m_form->optSortOrder[0]->isChecked());
    m_form->optSortOrder[1]->setChecked(true);
    QVERIFY(!m_form->optSortOrder[0]->isChecked());
}

void TestFrmOptions::tradesTabStartsIdle()
{
    auto *type = find<QComboBox>("cboBuySell");
    QVERIFY(type);
    QStringList items;
    for (int i = 0; i < type->count(); ++i)
        items << type->itemText(i);
    QCOMPARE(items, (QStringList{QStringLiteral("Select"), QStringLiteral("Bought"),
                                 QStringLiteral("Sold"), QStringLiteral("Credit"),
                                 QStringLiteral("Debit")}));
    QCOMPARE(type->currentText(), QStringLiteral("Select"));
    QVERIFY(!type->isEditable());
    for (const char *name : {"txtBuySellShares", "txtBuySellSymbol", "txtBuySellPrice",
                             "txtTracking", "cmdLogTransaction", "cmdAbortPrint"})
        QVERIFY2(!find(QLatin1String(name))->isEnabled(), name);
}

void TestFrmOptions::listsFilledElsewhereStartEmpty()
{
    for (const char *name : {"cboHomePage", "cboSort", "cboSeconds", "cboPauseScroll",
                             "cboDialUpList", "cboPortfolio"}) {
        auto *list = find<QComboBox>(name);
        QVERIFY2(list, name);
        QCOMPARE(list->count(), 0);
        // Picked from, never typed into.
        QVERIFY2(!list->isEditable(), name);
    }
}

void TestFrmOptions::scrollSliderRange()
{
    auto *slider = find<QSlider>("ScrollSlider");
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    // The default speed 3 is "Normal", between "Slow" and "Fast".
    QVERIFY(slider->minimum() >= 1);
    QVERIFY(slider->minimum() < 3);
    QVERIFY(slider->maximum() > 3);
    QCOMPARE(slider->value(), 3);
}

void TestFrmOptions::tabOrder_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("order");

    const QStringList bottom = {QStringLiteral("cmdOK"), QStringLiteral("cmdCancel"),
                                QStringLiteral("picOptionsCalc")};
    auto list = [](std::initializer_list<const char *> names) {
        QStringList out;
        for (const char *n : names)
            out << QString::fromLatin1(n);
        return out;
    };
    QTest::newRow("Quotes") << 0
                            << list({"txtSymbol",
                                     "txtShares",
                                     "txtLowAlert",
                                     "txtHighAlert",
                                     "chkLog",
                                     "cmdAdd",
                                     "cmdRemoveButton",
                                     "cmdMoveUp",
                                     "cmdMoveDown",
                                     "gridSymbols",
                                     "chkEnableLowAlert",
                                     "chkEnableHighAlert",
                                     "optAlertVisual",
                                     "optAlertPopUp",
                                     "optAlertSound",
                                     "chkAlertNotify",
                                     "chkQuoteUpdate",
                                     "cboSeconds",
                                     "cboQuoteSource",
                                     "txtApiKey",
                                     "cmdTestSource",
                                     "chkEnableAutoSort",
                                     "cboSort",
                                     "optSortOrder_0",
                                     "optSortOrder_1",
                                     "chkEnableClickSort",
                                     "chkLogging",
                                     "chkSeparateLogFiles",
                                     "cmdEditQuoteLog"}) +
                                   bottom;
    QTest::newRow("Trades") << 1
                            << list({"chkShow", "txtCash", "txtValue", "txtGainLoss", "txtDate",
                                     "txtTime", "cboBuySell", "txtBuySellShares",
                                     "txtBuySellSymbol", "txtBuySellPrice", "cmdLogTransaction",
                                     "txtFee", "txtTracking", "txtTransactionLog", "cmdOpen",
                                     "cmdPrint", "cmdAbortPrint", "cmdDelLog"}) +
                                   bottom;
    QTest::newRow("Options") << 2
                             << list({"chkUseDialUp",
                                      "cboDialUpList",
                                      "cmdConnect",
                                      "chkAutoDial",
                                      "chkReconnectOnDisconnect",
                                      "chkDisconnectOnExit",
                                      "chkUseProxy",
                                      "txtProxyServer",
                                      "txtProxyPort",
                                      "chkScroll",
                                      "chkPauseScroll",
                                      "cboPauseScroll",
                                      "ScrollSlider",
                                      "cboHomePage",
                                      "chkStartHomePage",
                                      "chkHomeSeparateBrowser",
                                      "cmdGraphForeColor",
                                      "cmdEvenRowColor",
                                      "cmdOddRowColor",
                                      "cmdFixedForeColor",
                                      "cmdHeaderBackColor",
                                      "chkShowGridLines",
                                      "chkUseDefaultColors",
                                      "chkStopBrowser",
                                      "chkKeepOnTop",
                                      "cboWindowSize",
                                      "cboPortfolio",
                                      "cmdLoadPortfolio",
                                      "cmdAddPortfolio",
                                      "cmdRemovePortfolio"}) +
                                    bottom;
    QStringList indices;
    for (int i = 0; i < 42; ++i)
        indices << QStringLiteral("chkIndex_%1").arg(i);
    QTest::newRow("US Indices") << 3 << indices + bottom;
}

void TestFrmOptions::tabOrder()
{
    QFETCH(int, tab);
    QFETCH(QStringList, order);

    m_form->SSTab1()->setCurrentIndex(tab);
    QWidget *first = find(order.first());
    QVERIFY(first);
    QCOMPARE(focusChain(m_form.get(), first, QStringLiteral("picOptionsCalc")), order);
    // After the bottom controls the focus goes back to the tabs.
    QWidget *next = m_form->picOptionsCalc()->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisibleTo(m_form.get()))
        next = next->nextInFocusChain();
    QVERIFY(m_form->SSTab1()->isAncestorOf(next) || next == m_form->SSTab1());
    QVERIFY(!m_form->SSTab1()->widget(tab)->isAncestorOf(next));
}

void TestFrmOptions::everyVisibleControlHasAName()
{
    QStringList unnamed;
    for (int tab = 0; tab < m_form->SSTab1()->count(); ++tab) {
        m_form->SSTab1()->setCurrentIndex(tab);
        const QList<QWidget *> widgets = m_form->findChildren<QWidget *>();
        for (QWidget *w : widgets) {
            if (!w->isVisibleTo(m_form.get()))
                continue;
            QString text;
            if (auto *button = qobject_cast<QAbstractButton *>(w))
                text = button->text();
            else if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w) &&
                     !qobject_cast<QSlider *>(w) && !qobject_cast<FlexGrid *>(w) &&
                     !qobject_cast<QTextEdit *>(w))
                continue;
            text.remove(QLatin1Char('&'));
            if (text.trimmed().isEmpty() && w->accessibleName().trimmed().isEmpty())
                unnamed << QStringLiteral("%1 (%2)").arg(
                    w->objectName(), QLatin1String(w->metaObject()->className()));
        }
    }
    unnamed.removeDuplicates();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void TestFrmOptions::alertTypeButtons_data()
{
    QTest::addColumn<bool>("low");
    QTest::addColumn<bool>("high");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("neither") << false << false << false;
    QTest::newRow("low only") << true << false << true;
    QTest::newRow("high only") << false << true << true;
    QTest::newRow("both") << true << true << true;
}

void TestFrmOptions::alertTypeButtons()
{
    QFETCH(bool, low);
    QFETCH(bool, high);
    QFETCH(bool, enabled);

    m_form->chkEnableLowAlert()->setChecked(low);
    m_form->chkEnableHighAlert()->setChecked(high);
    for (QAbstractButton *option : {static_cast<QAbstractButton *>(m_form->optAlertVisual()),
                                    static_cast<QAbstractButton *>(m_form->optAlertPopUp()),
                                    static_cast<QAbstractButton *>(m_form->optAlertSound()),
                                    static_cast<QAbstractButton *>(m_form->chkAlertNotify())})
        QCOMPARE(option->isEnabled(), enabled);
}

void TestFrmOptions::alertTypeButtonsFollowTheLastTickedBox()
{
    auto *sound = m_form->optAlertSound();
    m_form->chkEnableLowAlert()->click();
    m_form->chkEnableHighAlert()->click();
    m_form->chkEnableLowAlert()->click(); // low cleared, high still ticked
    QVERIFY(sound->isEnabled());
    m_form->chkEnableHighAlert()->click(); // both clear
    QVERIFY(!sound->isEnabled());
    QVERIFY(!m_form->optAlertPopUp()->isEnabled());
    QVERIFY(!m_form->optAlertVisual()->isEnabled());
}

void TestFrmOptions::autoSortEnablesSortControls()
{
    QSignalSpy tips(m_form.get(), &frmOptions::rowMoveToolTipsChanged);
    auto sortControlsEnabled = [this] {
        const bool a = m_form->optSortOrder[0]->isEnabled();
        const bool b = m_form->optSortOrder[1]->isEnabled();
        const bool c = m_form->cboSort()->isEnabled();
        return (a == b && b == c) ? (a ? 1 : 0) : -1;
    };
    QCOMPARE(sortControlsEnabled(), 0);

    m_form->chkEnableAutoSort()->setChecked(true);
    QCOMPARE(sortControlsEnabled(), 1);
    QCOMPARE(tips.count(), 0);

    m_form->chkEnableAutoSort()->setChecked(false);
    QCOMPARE(sortControlsEnabled(), 0);
    QCOMPARE(tips.count(), 1);
    QCOMPARE(tips.at(0).at(0).toString(), QStringLiteral("Move up"));
    QCOMPARE(tips.at(0).at(1).toString(), QStringLiteral("Move down"));
}

void TestFrmOptions::scrollerEnabling()
{
    auto *box = m_form->chkScroll();
    const QList<QWidget *> controls = {m_form->ScrollSlider(), m_form->chkPauseScroll(),
                                       m_form->cboPauseScroll()};
    auto all = [&](bool enabled) {
        for (QWidget *w : controls)
            if (w->isEnabled() != enabled)
                return false;
        return true;
    };
    QVERIFY(!box->isChecked());
    QVERIFY(all(false));
    box->setChecked(true);
    QVERIFY(all(true));
    m_form->SetUp(); // ticker on: SetUp leaves the controls available
    QVERIFY(all(true));
    box->setChecked(false);
    QVERIFY(all(false));

    // SetUp makes them unavailable whenever the ticker is off.
    for (QWidget *w : controls)
        w->setEnabled(true);
    m_form->SetUp();
    QVERIFY(all(false));
}

void TestFrmOptions::colourBoxesAskForRecolouring()
{
    QSignalSpy recolour(m_form.get(), &frmOptions::gridColorsChanged);
    const QList<QWidget *> buttons = {m_form->cmdHeaderBackColor(), m_form->cmdOddRowColor(),
                                      m_form->cmdGraphForeColor(), m_form->cmdEvenRowColor(),
                                      m_form->cmdFixedForeColor()};
    auto buttonsEnabled = [&](bool enabled) {
        for (QWidget *w : buttons)
            if (w->isEnabled() != enabled)
                return false;
        return true;
    };

    m_form->chkShowGridLines()->setChecked(true);
    QCOMPARE(recolour.count(), 1);
    m_form->chkShowGridLines()->setChecked(false);
    QCOMPARE(recolour.count(), 2);
    QVERIFY(buttonsEnabled(true));

    m_form->chkUseDefaultColors()->setChecked(true);
    QCOMPARE(recolour.count(), 3);
    QVERIFY(buttonsEnabled(false));
    m_form->chkUseDefaultColors()->setChecked(false);
    QCOMPARE(recolour.count(), 4);
    QVERIFY(buttonsEnabled(true));

    m_form->DisableColorButtons();
    QVERIFY(buttonsEnabled(false));
    m_form->EnableColorButtons();
    QVERIFY(buttonsEnabled(true));
}

void TestFrmOptions::dialUpAndProxyExcludeEachOther()
{
    frmOptions *opt = m_form.get();
    const QList<QWidget *> dialUp = {opt->cboDialUpList(), opt->chkAutoDial(),
                                     opt->chkDisconnectOnExit(), opt->chkReconnectOnDisconnect()};
    const QList<QWidget *> proxy = {opt->txtProxyServer(), opt->txtProxyPort()};
    auto all = [](const QList<QWidget *> &widgets, bool enabled) {
        for (QWidget *w : widgets)
            if (w->isEnabled() != enabled)
                return false;
        return true;
    };
    QVERIFY(all(dialUp, false));
    QVERIFY(all(proxy, false));

    opt->chkUseDialUp()->setChecked(true);
    QVERIFY(all(dialUp, true));
    QVERIFY(all(proxy, false));

    opt->chkUseProxy()->setChecked(true);
    QVERIFY(!opt->chkUseDialUp()->isChecked());
    QVERIFY(all(dialUp, false));
    QVERIFY(all(proxy, true));

    opt->chkUseDialUp()->click();
    QVERIFY(opt->chkUseDialUp()->isChecked());
    QVERIFY(!opt->chkUseProxy()->isChecked());
    QVERIFY(all(dialUp, true));
    QVERIFY(all(proxy, false));

    opt->chkUseDialUp()->setChecked(false);
    QVERIFY(all(dialUp, false));
    QVERIFY(!opt->chkUseProxy()->isChecked());
}

void TestFrmOptions::loadedValuesRunHandlersOnlyWhenChanged()
{
    // The settings loader puts values into the boxes one by one, as check states.
    QSignalSpy recolour(m_form.get(), &frmOptions::gridColorsChanged);
    frmOptions *opt = m_form.get();
    opt->chkScroll()->setCheckState(Qt::Checked);
    opt->chkEnableHighAlert()->setCheckState(Qt::Checked);
    opt->chkUseProxy()->setCheckState(Qt::Checked);
    opt->chkUseDefaultColors()->setCheckState(Qt::Unchecked); // unchanged: no handler
    QVERIFY(opt->ScrollSlider()->isEnabled());
    QVERIFY(opt->optAlertPopUp()->isEnabled());
    QVERIFY(opt->txtProxyServer()->isEnabled());
    QCOMPARE(recolour.count(), 0);
    opt->chkUseDefaultColors()->setCheckState(Qt::Checked);
    QCOMPARE(recolour.count(), 1);
    QVERIFY(!opt->cmdEvenRowColor()->isEnabled());
}

void TestFrmOptions::setUpPreparesSymbolList()
{
    QSignalSpy paint(m_form.get(), &frmOptions::buttonColorsRequested);
    m_form->cmdRemovePortfolio()->setEnabled(true);
    m_form->SetUp();
    QVERIFY(!m_form->cmdRemovePortfolio()->isEnabled());
    QCOMPARE(paint.count(), 1);

    FlexGrid *grid = m_form->gridSymbols();
    QCOMPARE(grid->cols(), 5);
    QVERIFY(grid->rows() >= 1);
    QCOMPARE(grid->fixedRows(), 1);
    const QStringList headers = {QStringLiteral("Symbol"), QStringLiteral("Shares"),
                                 QStringLiteral("Low Alert"), QStringLiteral("High Alert"),
                                 QStringLiteral("Log")};
    const int twips[] = {700, 650, 800, 800, 750};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(grid->textMatrix(0, c), headers.at(c));
        // The set width, or wider where the heading would not fit in it.
        const int heading = QFontMetrics(grid->font()).horizontalAdvance(headers.at(c));
        const int set = Twips::toPixels(twips[c], grid->logicalDpiX());
        QVERIFY2(grid->colWidth(c) > heading, qPrintable(headers.at(c)));
        if (set > heading + 8)
            QCOMPARE(grid->colWidth(c), set);
    }
    QCOMPARE(grid->font().family(), QStringLiteral("Arial"));
    QCOMPARE(grid->font().pointSize(), 8);
}

void TestFrmOptions::setUpKeepsSymbolRows()
{
    FlexGrid *grid = m_form->gridSymbols();
    grid->setRows(1);
    grid->addItem(QStringLiteral("MSFT\t0\t0.00\t0.00"));
    grid->addItem(QStringLiteral("IBM\t10\t1.00\t2.00"));
    m_form->SetUp();
    QCOMPARE(grid->rows(), 3);
    QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("MSFT"));
    QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("10"));
    QCOMPARE(grid->textMatrix(0, 0), QStringLiteral("Symbol"));
}

void TestFrmOptions::buttonBackColor_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QColor>("color");
    // The stored defaults are &HBBGGRR values: &H004000 is dark green, &H606000 teal.
    QTest::newRow("even row") << QStringLiteral("cmdEvenRowColor") << QColor(0x00, 0x40, 0x00);
    QTest::newRow("odd row") << QStringLiteral("cmdOddRowColor") << QColor(0x00, 0x60, 0x60);
    QTest::newRow("row text") << QStringLiteral("cmdGraphForeColor") << QColor(Qt::white);
    QTest::newRow("header text") << QStringLiteral("cmdFixedForeColor") << QColor(Qt::black);
    QTest::newRow("header") << QStringLiteral("cmdHeaderBackColor") << QColor(0xaa, 0xaa, 0xaa);
}

void TestFrmOptions::buttonBackColor()
{
    QFETCH(QString, button);
    QFETCH(QColor, color);

    auto *b = m_form->findChild<QAbstractButton *>(button);
    QVERIFY(b);
    frmOptions::setButtonBackColor(b, color);
    QCOMPARE(frmOptions::buttonBackColor(b), color);

    m_form->SSTab1()->setCurrentIndex(2);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto fraction = [&] {
        const QImage image = b->grab().toImage();
        int matching = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                matching += QColor(image.pixel(x, y)).rgb() == color.rgb() ? 1 : 0;
        return double(matching) / (image.width() * image.height());
    };
    QVERIFY2(fraction() > 0.5, qPrintable(QString::number(fraction())));

    // A disabled colour button still shows its colour.
    b->setEnabled(false);
    QVERIFY2(fraction() > 0.5, qPrintable(QString::number(fraction())));
    QCOMPARE(frmOptions::buttonBackColor(b), color);
}

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
