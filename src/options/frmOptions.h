#pragma once

#include "grid/OptionsView.h"
#include "net/Connectivity.h"
#include "settings/OptionsModel.h"

#include <QColor>
#include <QDialog>
#include <QTimer>

#include <array>
#include <optional>

class FlexGrid;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTextEdit;
class QToolButton;
class QuoteSourceKeys;

namespace Ui {
class frmOptions;
}

// The Options window. It shows and edits the program's settings, which the OptionsModel it
// owns holds for the whole run: its controls are bound to the model both ways. The window is
// created hidden at start-up and only shown and hidden afterwards. The controls that other
// parts (the portfolio, symbol-list, trade and source-key editors, the window's wiring in the
// app) place, fill or connect themselves are reached through the accessors named after them;
// settings are read from the model.
//
// The handlers here are the enabling rules of the window. They are connected to the
// controls' toggled signals, so a value put into a box by the settings loader runs them
// exactly as a user's click does. Effects on other windows are announced by signals.
class frmOptions : public QDialog, public Connectivity::Choices
{
    Q_OBJECT

public:
    explicit frmOptions(QWidget *parent = nullptr);
    ~frmOptions() override;

    // The market-index boxes of the "US Indices" tab; box i requests IndexTable entry i.
    std::array<QCheckBox *, 42> chkIndex{};
    // The eight framed groups that hold the index boxes, in IndexTable frame order.
    std::array<QGroupBox *, 8> FrameIndex{};
    // Sort order: (0) "Ascending", (1) "Descending".
    std::array<QRadioButton *, 2> optSortOrder{};

    // The settings the window shows and edits. TradeFee is the broker's fee the portfolio
    // keeps: the fee last put into txtFee for a purchase or a sale, which txtFee shows again
    // after each transaction. The fee of a credit or a debit does not replace it.
    OptionsModel &model() { return m_model; }
    const OptionsModel &model() const { return m_model; }
    // The colour button of a ticker colour shows it.
    void showColor(const ColorOption &color);
    // txtFee shows the portfolio's fee (TradeFee), as after loading the portfolio.
    void showTradeFee();
    // Puts into the model the list positions that the lists took without announcing them
    // (a list refilled with its signals held back).
    void takeListPositions();

    // The quote-server symbol requested by chkIndex(i); empty for an index out of range.
    QString indexSymbol(int i) const;

    // The back colour of a colour button, drawn so that it shows with every style.
    static void setButtonBackColor(QAbstractButton *button, QColor color);
    static QColor buttonBackColor(const QAbstractButton *button);

    // Puts the window into its starting state: cmdRemovePortfolio disabled, the symbol
    // list's header row and column widths, the scroller controls unavailable while
    // chkScroll is clear. Asks for the colour buttons to be painted (buttonColorsRequested).
    void SetUp();

    // The API keys of the keyed quote sources (txtApiKey, cmdTestSource); owned by the window.
    QuoteSourceKeys *sourceKeys = nullptr;

    // The quote source chosen in cboQuoteSource: "simulated", "yahoo", "stooq" or "finnhub".
    QString quoteSource() const;
    // Chooses a source by its stored name; an unknown name chooses the simulated market.
    void setQuoteSource(const QString &name);

    // The controls reached from outside the form (the portfolio, symbol list, trade and
    // source-key editors, the Options window's wiring, start-up and the tests), by tab.

    // The window's tabs, its OK and Cancel buttons and the calculator picture.
    QTabWidget *SSTab1() const;
    QPushButton *cmdCancel() const;
    QPushButton *cmdOK() const;
    QToolButton *picOptionsCalc() const;

    // The "Options" tab: the ticker, the grid colours, the browser, the connection and the
    // portfolios.
    QSlider *ScrollSlider() const;
    QComboBox *cboDialUpList() const;
    QComboBox *cboHomePage() const;
    QComboBox *cboPauseScroll() const;
    QComboBox *cboPortfolio() const;
    QComboBox *cboWindowSize() const;
    QCheckBox *chkAutoDial() const;
    QCheckBox *chkDisconnectOnExit() const;
    QCheckBox *chkHomeSeparateBrowser() const;
    QCheckBox *chkKeepOnTop() const;
    QCheckBox *chkPauseScroll() const;
    QCheckBox *chkReconnectOnDisconnect() const;
    QCheckBox *chkScroll() const;
    QCheckBox *chkShowGridLines() const;
    QCheckBox *chkStartHomePage() const;
    QCheckBox *chkStopBrowser() const;
    QCheckBox *chkUseDefaultColors() const;
    QCheckBox *chkUseDialUp() const;
    QCheckBox *chkUseProxy() const;
    QPushButton *cmdAddPortfolio() const;
    QPushButton *cmdConnect() const;
    QPushButton *cmdEvenRowColor() const;
    QPushButton *cmdFixedForeColor() const;
    QPushButton *cmdGraphForeColor() const;
    QPushButton *cmdHeaderBackColor() const;
    QPushButton *cmdLoadPortfolio() const;
    QPushButton *cmdOddRowColor() const;
    QPushButton *cmdRemovePortfolio() const;
    QLabel *lblSpeedFast() const;
    QLabel *lblSpeedNormal() const;
    QLabel *lblSpeedSlow() const;
    QLineEdit *txtProxyPort() const;
    QLineEdit *txtProxyServer() const;

    // The "Quotes" tab: the symbol list, the quote source, alerts, sorting, updates and the quote
    // log.
    FlexGrid *gridSymbols() const; // the loaded portfolio's symbol list
    QComboBox *cboQuoteSource() const;
    QComboBox *cboSeconds() const;
    QComboBox *cboSort() const;
    QCheckBox *chkAlertNotify() const;
    QCheckBox *chkEnableAutoSort() const;
    QCheckBox *chkEnableHighAlert() const;
    QCheckBox *chkEnableLowAlert() const;
    QCheckBox *chkLog() const;
    QCheckBox *chkLogging() const;
    QCheckBox *chkQuoteUpdate() const;
    QCheckBox *chkSeparateLogFiles() const;
    QToolButton *cmdAdd() const;
    QPushButton *cmdEditQuoteLog() const;
    QToolButton *cmdMoveDown() const;
    QToolButton *cmdMoveUp() const;
    QToolButton *cmdRemoveButton() const;
    QPushButton *cmdTestSource() const;
    QLabel *lblApiKey() const;
    QLabel *lblSourceTest() const;
    QRadioButton *optAlertPopUp() const;
    QRadioButton *optAlertSound() const;
    QRadioButton *optAlertVisual() const;
    QLineEdit *txtApiKey() const;
    QLineEdit *txtHighAlert() const;
    QLineEdit *txtLowAlert() const;
    QLineEdit *txtShares() const;
    QLineEdit *txtSymbol() const;

    // The "Trades" tab: the transaction entry, the account summary and the transaction log.
    QComboBox *cboBuySell() const;
    QCheckBox *chkShow() const;
    QToolButton *cmdAbortPrint() const;
    QToolButton *cmdDelLog() const;
    QPushButton *cmdLogTransaction() const;
    QToolButton *cmdOpen() const;
    QToolButton *cmdPrint() const;
    QLineEdit *txtBuySellPrice() const;
    QLineEdit *txtBuySellShares() const;
    QLineEdit *txtBuySellSymbol() const;
    QLineEdit *txtCash() const;
    QLineEdit *txtDate() const;
    QLineEdit *txtFee() const;
    QLineEdit *txtTime() const;
    QLineEdit *txtTracking() const;
    QTextEdit *txtTransactionLog() const;
    QLineEdit *txtValue() const;

    // The "US Indices" tab.
    QWidget *tabIndices() const;

    // The entry of the update interval list in force (its text); empty when none.
    QString updateInterval() const;
    // The position of a portfolio in the portfolio list; -1 when it is not listed.
    int portfolioIndex(const QString &name) const;

    // What the grid, the alerts, the log, the valuation and the downloads use of the window.
    OptionsView view();

    // The dial-up entries and the boxes that follow them (Connectivity::Choices).
    void clearDialUpControls() override;
    void listDialUpEntries(const QStringList &entries) override;
    int dialUpEntryCount() const override;
    QString selectedDialUpEntry() const override;
    void setProxyBoxesEnabled(bool enabled) override;

    // Disable or enable the five ticker colour buttons.
    void DisableColorButtons();
    void EnableColorButtons();

    // Where the window was last shown in this run (its frame's top-left corner), kept as
    // OptionsLeft/OptionsTop at every save; nothing before its first showing.
    std::optional<QPoint> shownPlace() const;

    // The clock of the account summary: txtDate and txtTime, refreshed every second.
    QTimer timClock;
    void timClock_Timer();

public Q_SLOTS:
    // The alert type buttons are available while either alert box is ticked.
    void chkEnableLowAlert_Click();
    void chkEnableHighAlert_Click();
    // The sort column and order are available while auto-sort is ticked; clearing it also
    // resets the tool tips of the main window's row-move pictures (rowMoveToolTipsChanged).
    void chkEnableAutoSort_Click();
    // The scroll speed and pause controls are available while the ticker is enabled.
    void chkScroll_Click();
    // The quote grid must be recoloured (gridColorsChanged); default colours also lock the
    // five colour buttons.
    void chkShowGridLines_Click();
    void chkUseDefaultColors_Click();
    // Dial-up and proxy exclude each other: ticking one clears the other.
    void chkUseDialUp_Click();
    void chkUseProxy_Click();

Q_SIGNALS:
    // The quote grid's colours or grid lines changed: recolour it and show it.
    void gridColorsChanged();
    // The main window's row-move pictures take these tool tips.
    void rowMoveToolTipsChanged(const QString &moveUpToolTip, const QString &moveDownToolTip);
    // SetUp ran: paint the colour buttons with the current ticker colours.
    void buttonColorsRequested();
    // The calculator picture was double-clicked.
    void calculatorRequested();
    // The home-page list was opened.
    void homePageListOpened();
    // The update interval list shows another entry (or renamed the one it shows).
    void updateIntervalChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The window opens at one size and place every time: at its first showing the size
    // that fits every tab and the place stored by the last run (or the middle of the
    // screen); later, the size and place it had when it was last hidden.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    Ui::frmOptions *ui;

    void buildSortOrder();
    void buildIndexBoxes();
    void fillQuoteSources();
    void setPictures();
    void connectHandlers();
    void setUpSymbolGrid();
    void setScrollerControlsEnabled(bool enabled);
    void setColorButtonsEnabled(bool enabled);
    void nameControlsForAccessibility();
    void placeSpeedLabels();
    QSize sizeForEveryTab();

    void bindModel();

    OptionsModel m_model;
    std::optional<QPoint> m_shownPlace;
    QSize m_shownSize;
};
