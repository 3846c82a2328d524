#include "StockMain.h"

#include "app/SettingsIO.h"
#include "app/TickerFeed.h"
#include "app/WindowModes.h"
#include "browser/BrowserPanel.h"
#include "feed/BrowserPages.h"
#include "feed/FeedConfig.h"
#include "feed/QuoteFeed.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "options/Portfolios.h"
#include "options/QuoteSourceKeys.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
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
#include "window/ScrollerHost.h"
#include "window/TextFit.h"
#include "window/frmStockMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

StockMain::StockMain()
    : m_options(std::make_unique<frmOptions>()), m_form(std::make_unique<frmStockMain>()),
      m_inetQuotes(std::make_unique<Transfer>())
{
    m_settings = std::make_unique<SettingsIO>(m_state, *m_form, *m_options);
    m_portfolios = std::make_unique<Portfolios>(m_state, *m_options);
    m_quoteGrid = std::make_unique<QuoteGrid>(m_state, *m_form->gridQuotes(), m_options->view());
    m_connectivity = std::make_unique<Connectivity>(
        m_state, m_options->model(), *m_options, *m_inetQuotes, [this](qint32 c) { paintLamp(c); },
        m_timInterval);
    // Dial-up entries that NetworkManager lists late are shown with the portfolio's saved
    // choice, so that the next save does not overwrite it with the first entry.
    m_connectivity->setSavedEntryChoice([this] {
        return SettingsStore::read(SettingsStore::portfolioSection(m_state.CurrentPortfolio),
                                   QStringLiteral("DialUpDefault"), QStringLiteral("0"));
    });
    m_windowModes = std::make_unique<WindowModes>(m_state, *m_form);
    m_scroller = std::make_unique<ScrollerHost>();

    // A countdown second lasts 1000 ms; soak tests and benchmarks shorten it through
    // VANTORA_TEST_TICK_MS (0 ticks whenever the event loop is idle).
    bool tickGiven = false;
    const int tick = qEnvironmentVariableIntValue("VANTORA_TEST_TICK_MS", &tickGiven);
    m_timInterval.setInterval(tickGiven && tick >= 0 ? tick : 1000);
    m_timScroll.setInterval(TickerFeed::TickInterval);

    // Closing the window through the desktop saves like Exit, so nothing edited is lost.
    m_form->installEventFilter(this);
    connect(m_form->cmdExit(), &QAbstractButton::clicked, this,
            [this] { guard([this] { cmdExit_Click(); }, m_form.get()); });
    wireQuotes();
    wireOptions();
    wireTicker();
    wireWindow();
    wireBrowser();
    wireZoom();
}

StockMain::~StockMain() = default;

bool StockMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.get() && event->type() == QEvent::Close && !m_exiting) {
        event->ignore();
        guard([this] { exitProgram(false); }, m_form.get());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void StockMain::paintLamp(qint32 bgr)
{
    m_form->paintLamp(Colors::fromBgr(bgr));
}

qint32 StockMain::lampColor() const
{
    const QColor color = m_form->lampColor();
    return color.isValid() ? Colors::toBgr(color) : -1;
}

void StockMain::addDefaultSymbols()
{
    FlexGrid *symbols = m_options->gridSymbols();
    if (symbols->rows() >= 2)
        return;
    for (const char *symbol : {"MSFT", "CSCO", "IBM", "DELL"}) {
        symbols->addItem(QString::fromLatin1(symbol) + QStringLiteral("\t0\t0.00\t0.00"));
        symbols->setCellPicture(symbols->rows() - 1, 4,
                                ImageList::instance().image(ImageList::BoxEmpty));
    }
}

// Scroller1's appearance as saved in the main window's design: only what differs from the
// control's defaults.
QVariantMap StockMain::scroller1Design()
{
    return {
        {QStringLiteral("ForeColor"), 0xBBBBBBu},
        {QStringLiteral("ToolTipText"),
         QStringLiteral("Double-click to get more detailed index data from Yahoo! Finance")},
        {QStringLiteral("FontBold"), true},
        {QStringLiteral("FontName"), QStringLiteral("Arial")},
        {QStringLiteral("FontSize"), 9.75},
    };
}

void StockMain::placeWindow()
{
    if (!WindowSystem::placesWindows())
        return;
    const QString section = SettingsStore::portfolioSection(m_state.CurrentPortfolio);
    const QString top = SettingsStore::read(section, QStringLiteral("Top"), QStringLiteral("0"));
    if (top != QLatin1String("0")) {
        const auto y = ValueForms::toSingle(top);
        const auto x = ValueForms::toSingle(
            SettingsStore::read(section, QStringLiteral("Left"), QStringLiteral("0")));
        m_form->move(Twips::toPixels(x.value_or(0)), Twips::toPixels(y.value_or(0)));
    } else {
        m_form->move(0, 0);
    }
}

void StockMain::Form_Load()
{
    frmStockMain *form = m_form.get();
    frmOptions *opt = m_options.get();

    // The zoom first, so that every size below is laid out at it.
    OptionsModel::load(m_options->model().Zoom, m_state.CurrentPortfolio);
    applyZoom(m_options->model().Zoom.value());

    // 1-2. Height and the ticker's appearance.
    m_form->resize(m_form->width(), Twips::toPixels(*m_form, WindowModes::CollapsedHeight));
    if (m_scroller->load(form->Scroller1Frame())) {
        // The appearance saved with the window's design comes back through the control's
        // own persistence; start-up then sets the colours and the font name again.
        m_scroller->loadProperties(scroller1Design());
        m_scroller->setForeColor(0xFFCC00);
        m_scroller->setBackColor(Colors::DarkGrey);
        m_scroller->setControlProperty("FontName", m_form->font().family());
        m_scroller->setFontBold(true);
        applyZoom(m_form->zoom()); // the ticker's font at the zoom
    }

    // 3-5. Grid placement, column widths and pictures.
    const auto px = [this](double twips) { return Twips::toPixels(*m_form, twips); };
    form->gridQuotes()->setGeometry(px(195), px(230), px(9645), px(1235));
    m_quoteGrid->SizeColumns();
    // Captions, and the delay notice shown later, are read whole in the room they have.
    TextFit::fitLabels(*m_form);
    TextFit::fitLabel(*form->lblDelayNotice(), QuoteDownload::delayNoticeText());
    m_form->showSkin(ImageList::BrowserSkin);
    ImageList::show(*form->picMoveUp(), ImageList::ButtonUp);
    ImageList::show(*form->picMoveDown(), ImageList::ButtonDown);
    ImageList::show(*form->picMaxWide(), ImageList::WidenWindow);
    ImageList::show(*form->picTickerSize(), ImageList::ButtonDown);
    ImageList::show(*form->picIslandButton(), ImageList::IslandButton);

    // 6-9. Dial-up entries, the grid and the lists that settings refer to by position.
    m_connectivity->SetUpDialUp();
    m_quoteGrid->GridSetup();
    Catalogues::FillChartLists(form->cboChartTime(), form->cboChartFreq());
    Catalogues::FillNewsList(form->cboStockNews());
    Catalogues::FillIPOList(form->cboIPOList());
    Catalogues::FillScreenerList(form->cboScreener(), m_state.CurrentPortfolio);
    Catalogues::FillPauseList(opt->cboPauseScroll(), m_state.CurrentPortfolio);
    Catalogues::FillResearchList(form->cboResearchSource(), m_state.CurrentPortfolio);
    Catalogues::FillHomePageList(opt->cboHomePage());
    Catalogues::FillHomePage(m_state.HomePageURLs);
    m_quoteGrid->SizeColumns();

    // 10-13. The start portfolio, its settings, the labels and the lists that take their
    // positions from the settings just loaded.
    m_portfolios->GetPortfolio();
    m_settings->GetSettings();
    // From here on the settings in memory are complete: an exit, even one that arrives
    // while start-up waits on the first download or a sound, saves them.
    m_settingsLoaded = true;
    startBuiltInFeed();
    // The keys come from the desktop's secret store when it answers; the feed takes the
    // chosen source's key then.
    connect(m_options->sourceKeys, &QuoteSourceKeys::keyChanged, this,
            [this](const QString &source) {
                // Only the source in force: a choice not yet confirmed with OK waits.
                const QuoteFeed *feed = QuoteFeed::inProcess();
                if (feed && feed->sourceName() == source)
                    QuoteFeed::setInProcessSource(source, m_options->sourceKeys->key(source));
            });
    m_options->sourceKeys->load();
    m_quoteGrid->AddLabels();
    // The pause and research lists were filled before the start portfolio was known; their
    // stored positions are only meaningful now, so they are filled again from it (else a
    // stored position would never come back and the next save would overwrite it).
    Catalogues::FillPauseList(opt->cboPauseScroll(), m_state.CurrentPortfolio);
    Catalogues::FillResearchList(form->cboResearchSource(), m_state.CurrentPortfolio);
    Catalogues::FillSortList(opt->cboSort(), m_state.RealTimeMode, m_state.CurrentPortfolio);
    Catalogues::FillTimerList(opt->cboSeconds(), m_state.RealTimeMode, m_state.CurrentPortfolio);

    // 14-16. Proxy, caption and position.
    m_connectivity->SetProxy();
    m_form->setWindowTitle(
        QStringLiteral("Vantora v%1.%2").arg(VANTORA_VERSION_MAJOR).arg(VANTORA_VERSION_MINOR));
    placeWindow();

    // 17-18.
    BrowserPanel::SetButtons(*m_form);
    addDefaultSymbols();

    // 19. The default colours come with the default index ticks.
    if (m_options->model().UseDefaultColors.value()) {
        m_options->DisableColorButtons();
        for (int i : {0, 4, 8, 11, 22})
            m_options->model().Index[std::size_t(i)].set(true);
    }

    // 20-22.
    m_state.BrowserOpen = false;
    m_state.SymbolsChanged = true;
    m_quoteGrid->RowColors();
    form->gridQuotes()->raise();
    form->FrameNews()->hide();
    m_quoteGrid->showGrid();

    // 23.
    restoreWindowMode(false);

    // 24-26. The chart and news lists took their positions with the settings (the browser
    // panel binds them to the model).
    form->cmdBack()->setEnabled(false);
    QApplication::restoreOverrideCursor();

    // 27. Shown at once unless the user agreement is still to be accepted.
    const QString firstRun = SettingsStore::read(QStringLiteral("Settings"),
                                                 QStringLiteral("FirstRun"), QStringLiteral("0"));
    if (firstRun != QLatin1String("0")) {
        m_form->show();
        m_timInterval.start();
        KeepOnTop();
        CheckConnection();
    } else {
        m_form->hide();
        m_timInterval.stop();
    }

    // 28. One quote row per symbol row.
    form->gridQuotes()->setRows(opt->gridSymbols()->rows());
    m_loaded = true;
}

void StockMain::startBuiltInFeed()
{
    // The feed's start page tells a newcomer where this Vantora keeps its files.
    BrowserPages::setProgramFiles(
        QDir::toNativeSeparators(SettingsStore::fileName()),
        QDir::toNativeSeparators(ProgramFolder::path() + QStringLiteral("/Log Files")));
    // The quote addresses that point at the built-in feed's loopback address start it
    // here; when another Vantora already serves that port, that one answers.
    // Only the feed's own address starts it: a service of the user's own on another
    // loopback port that happens to be down is never stood in for by simulated prices.
    for (const QString &address :
         {m_options->model().StockURL.value(), m_options->model().MarketURL.value(),
          m_options->model().IndicesURL.value()}) {
        if (FeedConfig::isFeedUrl(address)) {
            QuoteFeed::startInProcess(FeedConfig::kDefaultPort, FeedConfig::kDefaultSeed,
                                      m_options->quoteSource(),
                                      m_options->sourceKeys->key(m_options->quoteSource()));
            return;
        }
    }
    if (m_state.RealTimeMode)
        QuoteFeed::startInProcess(FeedConfig::kDefaultPort, FeedConfig::kDefaultSeed,
                                  m_options->quoteSource(),
                                  m_options->sourceKeys->key(m_options->quoteSource()));
}

void StockMain::ApplyQuoteSource()
{
    QuoteFeed::setInProcessSource(m_options->quoteSource(),
                                  m_options->sourceKeys->key(m_options->quoteSource()));
}

void StockMain::CheckConnection()
{
    if (m_connectivity->ActiveConnection()) {
        // The start or home page is chosen first and shown once the first quotes are in:
        // the browser engine starts with the first page it shows, and its start-up never
        // holds the quotes up.
        const QString startPage = startPageAddress();
        GetQuotes();
        openStartPage(startPage);
    } else if (m_options->chkUseDialUp()->isChecked() && m_options->chkAutoDial()->isChecked() &&
               m_options->cboDialUpList()->currentIndex() >= 0) {
        m_connectivity->Connect();
    }
    m_form->gridQuotes()->raise();
}

void StockMain::showAfterAgreement()
{
    // The agreement was the only thing that held the end of start-up back: it finishes as
    // on any later start, so the first quotes arrive without a click.
    m_form->show();
    m_form->raise();
    m_timInterval.start();
    KeepOnTop();
    // From the event loop, so that the first download's wait never runs before it.
    QTimer::singleShot(0, this, [this] {
        if (!m_exiting)
            guard([this] { CheckConnection(); }, m_form.get());
    });
}

void StockMain::KeepOnTop()
{
    if (!WindowSystem::placesWindows())
        return;
    const bool onTop = m_options->chkKeepOnTop()->isChecked();
    if (m_form->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // Changing a window flag hides the window; position and size stay as they are.
    const bool visible = m_form->isVisible();
    const QPoint pos = m_form->pos();
    m_form->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    m_form->move(pos);
    if (visible)
        m_form->show();
}

void StockMain::restoreWindowMode(bool onlyWhenChanged)
{
    const QString mode =
        SettingsStore::read(SettingsStore::portfolioSection(m_state.CurrentPortfolio),
                            QStringLiteral("Mode"), QStringLiteral("Browser"));
    const bool ticker = mode == QLatin1String("Ticker");
    if (onlyWhenChanged &&
        m_state.WindowMode == (ticker ? QLatin1String("Ticker") : QLatin1String("Browser")))
        return;
    // Store the opposite and toggle back to the saved mode, which lays it out.
    m_state.WindowMode = ticker ? QStringLiteral("Browser") : QStringLiteral("Ticker");
    m_windowModes->picTickerSize_Click();
}

QString StockMain::GetWindowsDir()
{
    return ProgramFolder::systemProgramsFolder();
}

void StockMain::saveAll()
{
    if (!m_settingsLoaded)
        return;
    // The settings, the window position among them, go to the file in one write: a program
    // killed while exiting leaves the file as it was before or as it is after, nothing
    // in between.
    m_settings->SaveSettings();
}

void StockMain::cmdExit_Click()
{
    exitProgram(true);
}

void StockMain::exitProgram(bool playSound)
{
    if (m_exiting)
        return;
    m_exiting = true;
    if (playSound)
        PlayClick();
    // A running transfer is cancelled, connection or not, and none starts after it: a
    // body cut off by the end of the program is never taken for an answer.
    if (m_quotesConcern)
        quoteDownload().shutdown();
    m_inetQuotes->shutdown();
    m_timInterval.stop();
    m_timScroll.stop();
    if (m_settingsLoaded) {
        saveAll();
        // Waits (briefly) until the dial-up service has the request: the program ends
        // right after this.
        if (m_options->chkDisconnectOnExit()->isChecked())
            m_connectivity->HangUp();
    }
    Q_EMIT exiting();
    m_options->hide();
    Form_Unload();
}

void StockMain::Form_Unload()
{
    Platform::instance().tray->removeIcon();
    m_form->hide();
    QCoreApplication::quit();
}
