#include "OptionsWindow.h"

#include "app/SettingsIO.h"
#include "app/StockMain.h"
#include "browser/BrowserPanel.h"
#include "common/Numbers.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "net/Connectivity.h"
#include "options/Portfolios.h"
#include "options/QuoteSourceKeys.h"
#include "options/SymbolListEditor.h"
#include "options/TradeTracker.h"
#include "options/dlgAddPortfolio.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "platform/WindowSystem.h"
#include "quotes/QuoteDownload.h"
#include "screen/Colors.h"
#include "screen/Twips.h"
#include "settings/Catalogues.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QWindow>

OptionsWindow::OptionsWindow(StockMain &main, Portfolios &portfolios)
    : m_main(main), m_portfolios(portfolios), m_options(*main.options())
{
    SymbolListEditor::Hooks hooks;
    hooks.activeConnection = [this] { return m_main.connectivity().ActiveConnection(); };
    hooks.requestQuotes = [this] { Q_EMIT m_main.quoteUpdateRequested(); };
    hooks.refreshQuoteGrid = [this] {
        m_main.quoteGrid().RowColors();
        m_main.quoteGrid().showGrid();
        restoreQuoteGridSelection(false);
    };
    hooks.realTimeModeChanged = [this] { realTimeModeChanged(); };
    m_symbols = std::make_unique<SymbolListEditor>(m_main.state(), m_options, std::move(hooks));
    m_trades = std::make_unique<TradeTracker>(m_main.state(), m_options, *m_symbols, [this] {
        return m_main.state().CurrentPortfolio; // always the loaded portfolio
    });

    frmOptions *opt = &m_options;
    auto guarded = [this](void (OptionsWindow::*handler)()) {
        return [this, handler] { guard([this, handler] { (this->*handler)(); }, &m_options); };
    };
    connect(opt->cmdOK(), &QAbstractButton::clicked, this, guarded(&OptionsWindow::cmdOK_Click));
    connect(opt->cmdCancel(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdCancel_Click));
    // Escape and the window's close box leave the window as Cancel does.
    connect(&m_options, &QDialog::rejected, this, guarded(&OptionsWindow::cmdCancel_Click));
    connect(opt->cmdLoadPortfolio(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdLoadPortfolio_Click));
    connect(opt->cmdAddPortfolio(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdAddPortfolio_Click));
    connect(opt->cmdRemovePortfolio(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdRemovePortfolio_Click));
    connect(opt->SSTab1(), &QTabWidget::currentChanged, this,
            [this] { guard([this] { SSTab1_Click(); }, &m_options); });
    // A click on the tab already selected repeats the tab's steps.
    connect(opt->SSTab1(), &QTabWidget::tabBarClicked, this, [this](int index) {
        if (index == m_options.SSTab1()->currentIndex())
            guard([this] { SSTab1_Click(false); }, &m_options);
    });
    connect(opt->cmdEvenRowColor(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdEvenRowColor_Click));
    connect(opt->cmdOddRowColor(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdOddRowColor_Click));
    connect(opt->cmdGraphForeColor(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdGraphForeColor_Click));
    connect(opt->cmdFixedForeColor(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdFixedForeColor_Click));
    connect(opt->cmdHeaderBackColor(), &QAbstractButton::clicked, this,
            guarded(&OptionsWindow::cmdHeaderBackColor_Click));
    connect(&m_options, &frmOptions::gridColorsChanged, this,
            guarded(&OptionsWindow::refreshQuoteGrid));
    connect(&m_options, &frmOptions::homePageListOpened, this,
            guarded(&OptionsWindow::cboHomePage_DropDown));
    connect(opt->cmdConnect(), &QAbstractButton::clicked, this,
            [this] { guard([this] { m_main.connectivity().cmdConnect_Click(); }, &m_options); });
    connect(&m_options, &frmOptions::calculatorRequested, this,
            [] { Platform::instance().programs->startCalculator(); });
    connect(&m_options, &frmOptions::buttonColorsRequested, this,
            &OptionsWindow::paintColorButtons);
    connect(&m_options, &frmOptions::rowMoveToolTipsChanged, this,
            [this](const QString &up, const QString &down) {
                m_main.form()->picMoveUp()->setToolTip(up);
                m_main.form()->picMoveDown()->setToolTip(down);
            });
    // The window's unload at the end of the program leaves the lamp green.
    connect(&m_main, &StockMain::exiting, this, [this] { m_main.paintLamp(0xFF00); });
    installDragHandlers();
    m_main.state().PortfolioChanged = false;
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::paintColorButtons()
{
    const OptionsModel &s = m_options.model();
    for (const ColorOption *color :
         {&s.EvenRowColor, &s.OddRowColor, &s.TextColor, &s.HeaderColor, &s.HeaderTextColor})
        m_options.showColor(*color);
}

void OptionsWindow::realTimeModeChanged()
{
    frmOptions *opt = &m_options;
    m_main.quoteGrid().SizeColumns();
    m_main.quoteGrid().AddLabels();
    Catalogues::FillTimerList(opt->cboSeconds(), m_main.state().RealTimeMode,
                              m_main.state().CurrentPortfolio);
    // The sort list names the same columns as the grid, so it follows too; its position
    // stays.
    const QStringList labels = Catalogues::sortColumnLabels(m_main.state().RealTimeMode);
    for (int i = 0; i < opt->cboSort()->count() && i < labels.size(); ++i)
        opt->cboSort()->setItemText(i, labels[i]);
}

void OptionsWindow::refreshQuoteGrid()
{
    m_main.quoteGrid().RowColors();
    m_main.quoteGrid().showGrid();
}

void OptionsWindow::chooseColor(ColorOption &color)
{
    const std::optional<QColor> chosen = Platform::instance().dialogs->chooseColor(
        &m_options, Colors::fromBgr(color.value()), QString::fromLatin1(ColorDialogTitle));
    if (!chosen || !chosen->isValid())
        return;
    color.set(Colors::toBgr(*chosen));
    paintColorButtons();
    refreshQuoteGrid();
}

void OptionsWindow::cmdEvenRowColor_Click()
{
    chooseColor(m_options.model().EvenRowColor);
}

void OptionsWindow::cmdOddRowColor_Click()
{
    chooseColor(m_options.model().OddRowColor);
}

void OptionsWindow::cmdGraphForeColor_Click()
{
    chooseColor(m_options.model().TextColor);
}

void OptionsWindow::cmdFixedForeColor_Click()
{
    chooseColor(m_options.model().HeaderTextColor);
}

void OptionsWindow::cmdHeaderBackColor_Click()
{
    chooseColor(m_options.model().HeaderColor);
}

void OptionsWindow::cboHomePage_DropDown()
{
    m_main.state().ActiveButton = QStringLiteral("cboHomePage");
    m_main.form()->cmdHome()->setCaptionColor(Qt::white);
}

void OptionsWindow::open()
{
    PlayClick();
    if (m_options.isVisible())
        return;
    m_main.timInterval().stop();
    m_options.show();
    paintColorButtons();
    m_options.raise();
    m_options.activateWindow();
    m_main.state().PortfolioChanged = false;
    m_trades->ReadTradeLog();
}

void OptionsWindow::restoreQuoteGridSelection(bool atLeastOneDataRow)
{
    FlexGrid *grid = m_main.form()->gridQuotes();
    grid->setVisible(true);
    grid->setCol(0);
    if (atLeastOneDataRow && grid->rows() == 1)
        grid->setRows(2);
    grid->setRow(m_main.state().SelectedRow);
}

void OptionsWindow::formatAlertColumns()
{
    FlexGrid *symbols = m_options.gridSymbols();
    for (int r = 1; r < symbols->rows(); ++r) {
        symbols->setTextMatrix(r, 2, SymbolListEditor::alertText(symbols->textMatrix(r, 2)));
        symbols->setTextMatrix(r, 3, SymbolListEditor::alertText(symbols->textMatrix(r, 3)));
    }
}

void OptionsWindow::portfolioStepsOfOK()
{
    m_portfolios.saveList();
    if (m_main.state().PortfolioChanged) {
        // The loaded portfolio's edits are saved under its own name before the pick
        // replaces them in memory.
        formatAlertColumns();
        loadPickedPortfolio(true);
        m_main.state().PortfolioChanged = false;
        SettingsStore::write(SettingsStore::programSection(), QStringLiteral("StartPortfolioIndex"),
                             ValueForms::positionText(m_options.cboPortfolio()));
    }
}

void OptionsWindow::cmdOK_Click()
{
    frmOptions *opt = &m_options;
    MainState &state = m_main.state();
    // 1-2.
    PlayClick();
    state.SymbolsChanged = true;
    portfolioStepsOfOK();
    // 3.
    formatAlertColumns();
    // 4. Without a selection the home page stays as it was.
    const int home = opt->cboHomePage()->currentIndex();
    if (home >= 0 && home < int(state.HomePageURLs.size()) &&
        !state.HomePageURLs[std::size_t(home)].isEmpty())
        m_options.model().HomePage.set(state.HomePageURLs[std::size_t(home)]);
    // 5-6.
    m_main.timInterval().start();
    m_main.connectivity().SetProxy();
    m_main.KeepOnTop();
    m_options.sourceKeys->commit();
    m_main.ApplyQuoteSource();
    opt->txtSymbol()->clear();
    // 7-8.
    m_main.settings().SaveSettings();
    m_options.hide();
    restoreQuoteGridSelection(false);
    m_main.quoteDownload().optionsClosed();
}

void OptionsWindow::cmdCancel_Click()
{
    frmOptions *opt = &m_options;
    MainState &state = m_main.state();
    PlayClick();
    m_main.timInterval().start();
    opt->txtSymbol()->clear();
    m_options.sourceKeys->revert();
    // A portfolio picked but not loaded is given up: the list shows the loaded portfolio
    // again, so a later OK cannot save its settings under the picked name.
    QComboBox *list = opt->cboPortfolio();
    if (list->currentText() != state.CurrentPortfolio) {
        const int index =
            list->findText(state.CurrentPortfolio, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(index);
        }
        state.PortfolioChanged = false;
    }
    m_options.hide();
    restoreQuoteGridSelection(true);
    m_main.quoteDownload().optionsClosed();
}

void OptionsWindow::SSTab1_Click(bool onlyWhenVisible)
{
    frmOptions *opt = &m_options;
    opt->txtCash()->setText(FormatIfNumeric(opt->txtCash()->text(), u"######0.00"));
    QWidget *first = nullptr;
    switch (opt->SSTab1()->currentIndex()) {
    case 0:
        first = opt->txtSymbol();
        break;
    case 1:
        first = opt->chkShow();
        opt->txtBuySellShares()->setPlaceholderText(QStringLiteral("Shares"));
        opt->txtBuySellSymbol()->setPlaceholderText(QStringLiteral("Symbol"));
        opt->txtBuySellPrice()->setPlaceholderText(QStringLiteral("Price"));
        break;
    case 2:
        first = opt->chkUseDialUp();
        break;
    case 3:
        first = m_options.chkIndex[0];
        break;
    default:
        return;
    }
    if (!onlyWhenVisible || first->isVisible())
        first->setFocus();

    // OK, Cancel and the calculator come after the last control of the tab.
    QWidget *page = opt->SSTab1()->currentWidget();
    QWidget *last = nullptr;
    QWidget *w = page;
    for (int guardCount = 0; guardCount < 1000; ++guardCount) {
        w = w->nextInFocusChain();
        if (w == page)
            break;
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
            last = w;
    }
    if (last) {
        QWidget::setTabOrder(last, opt->cmdOK());
        QWidget::setTabOrder(opt->cmdOK(), opt->cmdCancel());
        QWidget::setTabOrder(opt->cmdCancel(), opt->picOptionsCalc());
    }
}

void OptionsWindow::cmdLoadPortfolio_Click()
{
    loadPickedPortfolio(true);
}

void OptionsWindow::loadPickedPortfolio(bool saveLoaded)
{
    MainState &state = m_main.state();
    if (!state.PortfolioChanged)
        return;
    frmOptions *opt = &m_options;
    frmStockMain *mainForm = m_main.form();
    QComboBox *list = opt->cboPortfolio();

    // The settings and rows in memory are the loaded portfolio's; they are saved under its
    // name first, so that switching portfolios never loses an edit.
    if (saveLoaded &&
        list->findText(state.CurrentPortfolio, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        m_main.settings().SaveSettings();

    // 1-3.
    state.SelectedRow = 0;
    mainForm->gridQuotes()->setRows(1);
    opt->gridSymbols()->setRows(1);
    opt->cboDialUpList()->clear();
    SettingsStore::write(SettingsStore::programSection(), QStringLiteral("StartPortfolioIndex"),
                         ValueForms::positionText(list));
    SettingsStore::write(SettingsStore::programSection(), QStringLiteral("StartPortfolio"),
                         list->currentText());
    state.CurrentPortfolio = list->currentText();

    // 4.
    m_options.SetUp();
    opt->cmdOK()->setEnabled(true);

    // 5-7. The main window's settings, the new portfolio's settings, and the labels.
    m_main.connectivity().SetUpDialUp();
    m_main.quoteGrid().GridSetup();
    BrowserPanel::SetButtons(*m_main.form());
    const bool realTimeBefore = state.RealTimeMode;
    m_main.settings().GetSettings();
    // The lists whose positions GetSettings does not read, and the window mode, come from
    // the loaded portfolio too; kept from the one before, the next save would write them
    // under this portfolio's name.
    Catalogues::FillPauseList(opt->cboPauseScroll(), state.CurrentPortfolio);
    Catalogues::FillResearchList(mainForm->cboResearchSource(), state.CurrentPortfolio);
    Catalogues::FillSortList(opt->cboSort(), state.RealTimeMode, state.CurrentPortfolio);
    Catalogues::FillTimerList(opt->cboSeconds(), state.RealTimeMode, state.CurrentPortfolio);
    m_main.restoreWindowMode(true);
    // The interval list (and the column names) differ in real-time mode.
    if (state.RealTimeMode != realTimeBefore)
        realTimeModeChanged();
    m_main.quoteGrid().AddLabels();
    m_main.connectivity().SetProxy();
    // The stored Top and Left are the main window's position in this portfolio.
    const QString section = SettingsStore::portfolioSection(state.CurrentPortfolio);
    const QString top = SettingsStore::read(section, QStringLiteral("Top"), QStringLiteral("0"));
    if (top != QLatin1String("0") && WindowSystem::placesWindows()) {
        const auto y = ValueForms::toSingle(top);
        const auto x = ValueForms::toSingle(
            SettingsStore::read(section, QStringLiteral("Left"), QStringLiteral("0")));
        m_main.form()->move(Twips::toPixels(x.value_or(0)), Twips::toPixels(y.value_or(0)));
    }

    // 8.
    if (opt->chkUseDefaultColors()->isChecked()) {
        m_options.DisableColorButtons();
        for (int i : {0, 4, 8, 11, 22})
            m_options.chkIndex[std::size_t(i)]->setChecked(true);
    }

    // 9-10.
    state.SymbolsChanged = true;
    state.PortfolioChanged = false;
    mainForm->gridQuotes()->setRows(opt->gridSymbols()->rows());
    mainForm->cmdBack()->setEnabled(false);
    m_main.KeepOnTop();
    mainForm->gridQuotes()->setRows(opt->gridSymbols()->rows());
    Q_EMIT m_main.quoteUpdateRequested();

    // 11.
    QApplication::restoreOverrideCursor();
    opt->cmdRemovePortfolio()->setEnabled(true);
    m_trades->ReadTradeLog();
}

bool OptionsWindow::addPortfolio(const QString &name)
{
    const Portfolios::Refusal refusal = m_portfolios.checkNewName(name);
    if (refusal == Portfolios::Refusal::Empty)
        return false;
    if (refusal != Portfolios::Refusal::None) {
        Platform::instance().messageBox->show(
            QApplication::activeModalWidget(), Portfolios::refusalTitle(refusal),
            Portfolios::refusalText(refusal, m_portfolios.logClashWith(name)),
            refusal == Portfolios::Refusal::Exists ? MessageBoxService::Icon::Information
                                                   : MessageBoxService::Icon::Warning,
            QMessageBox::Ok);
        return false;
    }
    MainState &state = m_main.state();
    // The loaded portfolio's edits are saved under its own name first, as Load and OK do:
    // from here on the settings in memory are the new portfolio's.
    if (m_options.cboPortfolio()->findText(state.CurrentPortfolio,
                                           Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
        formatAlertColumns();
        m_main.settings().SaveSettings();
    }
    m_portfolios.addToList(name);
    // The settings in memory are the new portfolio's from now on.
    state.CurrentPortfolio = name;
    FlexGrid *quotes = m_main.form()->gridQuotes();
    quotes->setRows(1);
    m_options.gridSymbols()->setRows(1);
    m_main.addDefaultSymbols();
    quotes->setRows(m_options.gridSymbols()->rows());
    state.PortfolioChanged = false;
    m_options.SetUp();
    return true;
}

void OptionsWindow::cmdAddPortfolio_Click()
{
    // A full list is refused before anything is typed.
    if (m_portfolios.checkNewName(QStringLiteral("\x01")) == Portfolios::Refusal::Full) {
        Platform::instance().messageBox->show(&m_options,
                                              Portfolios::refusalTitle(Portfolios::Refusal::Full),
                                              Portfolios::refusalText(Portfolios::Refusal::Full),
                                              MessageBoxService::Icon::Warning, QMessageBox::Ok);
        return;
    }
    m_options.hide();
    {
        dlgAddPortfolio dialog([this](const QString &name) { return addPortfolio(name); },
                               &m_options);
        dialog.setObjectName(QStringLiteral("dlgAddPortfolio"));
        dialog.exec();
    }
    m_options.show();
}

void OptionsWindow::cmdRemovePortfolio_Click()
{
    MainState &state = m_main.state();
    QComboBox *list = m_options.cboPortfolio();
    const int index = list->currentIndex();
    if (index < 0)
        return;
    const QString name = list->currentText();
    const bool removingLoaded = name == state.CurrentPortfolio;
    // Answered No, the entry picked before stays picked, so Load still loads it.
    const bool picked = state.PortfolioChanged;
    state.PortfolioChanged = false;
    const int answer = Platform::instance().messageBox->show(
        &m_options, QStringLiteral("Delete Portfolio"),
        QStringLiteral("Are you sure you want to permanently delete the portfolio called ") + name +
            QStringLiteral(
                "? \nYou will not be able to recover any data once it has been deleted!"),
        MessageBoxService::Icon::Critical, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        state.PortfolioChanged = picked;
        return;
    }
    if (!m_portfolios.removeEntry(index))
        Platform::instance().messageBox->show(
            &m_options, QStringLiteral("Delete Portfolio"),
            name + QStringLiteral(" does not exist\nRemoving it from the list..."),
            MessageBoxService::Icon::Critical, QMessageBox::Ok);

    m_options.cmdOK()->setEnabled(true);
    // The second entry is loaded; with fewer entries left, the first.
    {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(list->count() >= 2 ? 1 : 0);
    }
    m_portfolios.cboPortfolio_Click();
    // The removed portfolio's settings in memory are dropped, never saved again.
    loadPickedPortfolio(!removingLoaded);
    // A portfolio without any symbols (one made again after the list emptied) starts with
    // the default rows.
    if (m_options.gridSymbols()->rows() < 2) {
        m_main.addDefaultSymbols();
        m_main.form()->gridQuotes()->setRows(m_options.gridSymbols()->rows());
    }
}

void OptionsWindow::installDragHandlers()
{
    m_options.installEventFilter(this);
    m_options.SSTab1()->installEventFilter(this);
    for (QGroupBox *frame : m_options.findChildren<QGroupBox *>())
        frame->installEventFilter(this);
    for (QLabel *label : m_options.findChildren<QLabel *>())
        label->installEventFilter(this);
}

bool OptionsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Pressing the left button on the background, a frame or a label and moving the mouse
    // drags the whole window.
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            auto *widget = qobject_cast<QWidget *>(watched);
            // Only a press on the tab control's own background, not on its tab bar.
            if (widget && widget->childAt(mouse->position().toPoint()) == nullptr) {
                if (QWindow *handle = m_options.windowHandle())
                    handle->startSystemMove();
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
