#include "BrowserPanel.h"

#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "platform/WebBrowser.h"
#include "screen/Twips.h"
#include "settings/Catalogues.h"
#include "settings/SettingsStore.h"
#include "ui_frmStockMain.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString kCloseTray = QStringLiteral("Close browser tray");
const QString kSubmitTip = QStringLiteral("Submit data and view results");

// With the built-in feed (`site` not empty) a source's page is the feed's stand-in for it,
// which links to the outside address; an empty address (no entry chosen) stays empty.
QString sourcePage(const QString &site, const QString &kind, const QString &symbol,
                   const QString &address)
{
    if (site.isEmpty() || address.isEmpty())
        return address;
    return Catalogues::feedPageAddress(site, kind, symbol, address);
}

} // namespace

// One panel button's share of the common toggle.
struct BrowserPanel::Toggle
{
    LinkButton *button;
    QString name;
    bool stopsBrowser = true;   // a closing click also stops the browser (chkStopBrowser)
    bool touchesTimer = true;   // the update timer is enabled at the end
    std::function<void()> show; // step 2: the frame and controls shown
    // Step 4: the button's own action; false ends the handler there.
    std::function<bool()> action;
};

BrowserPanel::BrowserPanel(MainState &state, frmStockMain &main, frmOptions &options,
                           QTimer &timInterval, QObject *parent)
    : QObject(parent), m_state(state), m_main(main), m_options(options), m_timInterval(timInterval)
{
}

BrowserPanel::~BrowserPanel() = default;

void BrowserPanel::SetButtons(frmStockMain &main)
{
    auto *ui = main.ui;
    ui->cmdHome->setToolTip(QStringLiteral("Go to your Home page"));
    ui->cmdCharts->setToolTip(QStringLiteral("View chart for selected stock"));
    ui->cmdNews->setToolTip(QStringLiteral("Read news about selected stock"));
    ui->cmdSubmit->setToolTip(kSubmitTip);
    ui->cmdInquiry->setToolTip(
        QStringLiteral("Research, IPO data, stock screener, and symbol lookup"));
    ui->cmdBTV->setToolTip(QStringLiteral("Bloomberg TV live"));

    const QColor second = QColor::fromRgb(0x58, 0x58, 0x58); // 5789784 = &H585858
    for (LinkButton *b : {ui->cmdHome, ui->cmdCharts, ui->cmdNews, ui->cmdSubmit, ui->cmdInquiry,
                          ui->cmdBTV, ui->cmdResearch, ui->cmdScreener, ui->cmdLookup, ui->cmdIPO})
        b->setSecondColor(second);
    for (LinkButton *b : {ui->cmdScreener, ui->cmdHome, ui->cmdCharts, ui->cmdNews, ui->cmdSubmit,
                          ui->cmdInquiry, ui->cmdBTV})
        b->setCaptionColor(Qt::white);

    for (QWidget *w :
         {static_cast<QWidget *>(ui->FrameCharts), static_cast<QWidget *>(ui->FrameScreener),
          static_cast<QWidget *>(ui->FrameNews), static_cast<QWidget *>(ui->FrameInfoButtons),
          static_cast<QWidget *>(ui->FrameResearch), static_cast<QWidget *>(ui->FrameSymbolLookup),
          static_cast<QWidget *>(ui->FrameIPO), static_cast<QWidget *>(ui->cmdSubmit)})
        w->hide();
}

void BrowserPanel::SetButtons()
{
    SetButtons(m_main);
}

bool BrowserPanel::runExclusive(const std::function<void()> &handler)
{
    if (m_running)
        return false;
    m_running = true;
    struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_running};
    handler();
    return true;
}

// ---- the tray ------------------------------------------------------------------------------

double BrowserPanel::screenHeightTwips() const
{
    if (m_screenHeight)
        return m_screenHeight();
    return Twips::screenSize(m_main).height();
}

void BrowserPanel::ToggleBrowserTray()
{
    // A double-click on the ticker can arrive while the open sound plays.
    if (m_animating)
        return;
    m_animating = true;
    auto *ui = m_main.ui;
    QWidget *view = m_browser ? m_browser->widget() : nullptr;
    if (view)
        view->hide();

    const int collapsed = Twips::toPixels(m_main, frmStockMain::CollapsedHeight);
    const bool animates = !(m_main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) &&
                          m_state.WindowMode == QLatin1String("Browser");
    // Open or closed is the state the tray was left in, not a height read back in twips
    // (2095 twips are 140 pixels, which read back as 2100).
    if (animates && !m_state.BrowserOpen) {
        PlayOpen();
        const double target = screenHeightTwips() - 400;
        double height = frmStockMain::CollapsedHeight;
        while (height < target) {
            height += TrayStep;
            m_main.resize(m_main.width(), Twips::toPixels(m_main, height));
            m_main.repaint();
        }
        m_main.resize(m_main.width(), qMax(collapsed, Twips::toPixels(m_main, target)));
        m_state.BrowserOpen = true;
        QWidget *bezel = ui->imgBezelBottom;
        bezel->move(bezel->x(), m_main.height() - Twips::toPixels(m_main, 135));
        bezel->show();
        bezel->raise();
    } else if (animates) {
        PlayClose();
        double height = Twips::toTwips(m_main, m_main.height());
        while (m_main.height() > collapsed) {
            height -= TrayStep;
            m_main.resize(m_main.width(), qMax(collapsed, Twips::toPixels(m_main, height)));
            m_main.repaint();
        }
        m_main.resize(m_main.width(), collapsed);
        ui->imgBezelBottom->hide();
        // Nothing loads or runs behind the closed tray.
        if (stopsBrowserOnClose() && m_browser) {
            m_afterWaiting.clear();
            m_browser->pause();
            m_paused = true;
        }
        m_state.BrowserOpen = false;
    }

    m_animating = false;
    if (pageCanBeSeen()) {
        wakeBrowser();
        if (!m_waiting.isEmpty())
            ensureBrowser(); // the start page, kept until now
    }
    if (view && m_state.WindowMode == QLatin1String("Browser") && !m_paused)
        view->show();
}

bool BrowserPanel::pageCanBeSeen() const
{
    return m_state.WindowMode == QLatin1String("Browser") && !m_main.isMinimized() &&
           (m_state.BrowserOpen || m_main.isMaximized());
}

bool BrowserPanel::stopsBrowserOnClose() const
{
    return m_options.model().StopBrowser.value();
}

// ---- panel buttons -------------------------------------------------------------------------

void BrowserPanel::panelToggle(const Toggle &toggle)
{
    PlayClick();
    SetButtons();
    if (toggle.show)
        toggle.show();
    bool opening = true;
    if (m_state.ActiveButton == toggle.name) {
        if (m_state.BrowserOpen) {
            toggle.button->setCaptionColor(Qt::white);
            ToggleBrowserTray();
            if (toggle.stopsBrowser && stopsBrowserOnClose())
                stopBrowser();
            opening = false;
        } else {
            m_state.ActiveButton.clear();
        }
    }
    if (opening) {
        toggle.button->setCaptionColor(Qt::black);
        toggle.button->setToolTip(kCloseTray);
        if (toggle.action && !toggle.action())
            return;
        if (!m_state.BrowserOpen)
            ToggleBrowserTray();
    }
    m_state.ActiveButton = toggle.name;
    if (toggle.touchesTimer)
        m_timInterval.start();
}

void BrowserPanel::cmdCharts_Click()
{
    auto *ui = m_main.ui;
    panelToggle({ui->cmdCharts, QStringLiteral("cmdCharts"), true, true,
                 [ui] {
                     ui->FrameCharts->show();
                     ui->cmdSubmit->show();
                 },
                 nullptr});
}

void BrowserPanel::cmdNews_Click()
{
    auto *ui = m_main.ui;
    panelToggle({ui->cmdNews, QStringLiteral("cmdNews"), true, true,
                 [ui] {
                     ui->FrameNews->show();
                     ui->lblStockNews->show();
                     ui->cboStockNews->show();
                     ui->cmdSubmit->show();
                     ui->cmdSubmit->setCaptionColor(Qt::white);
                 },
                 nullptr});
}

void BrowserPanel::cmdInquiry_Click()
{
    auto *ui = m_main.ui;
    panelToggle({ui->cmdInquiry, QStringLiteral("cmdInquiry"), true, false,
                 [ui] { ui->FrameInfoButtons->show(); }, nullptr});
}

void BrowserPanel::cmdScreener_Click()
{
    auto *ui = m_main.ui;
    panelToggle({ui->cmdScreener, QStringLiteral("cmdScreener"), false, false, nullptr, [ui] {
                     ui->FrameInfoButtons->hide();
                     ui->FrameScreener->show();
                     ui->cmdSubmit->show();
                     // The button opens no page of its own; the sources are submitted.
                     return true;
                 }});
}

void BrowserPanel::cmdHome_Click()
{
    const int index = m_options.model().HomePageIndex.value();
    HomePageIndex = qint16(index);
    HomePageURL = index >= 0 && index < int(m_state.HomePageURLs.size())
                      ? m_state.HomePageURLs[std::size_t(index)]
                      : QString();
    auto *ui = m_main.ui;
    panelToggle({ui->cmdHome, QStringLiteral("cmdHome"), false, false, nullptr, [this, ui] {
                     ui->lblStockNews->hide();
                     if (m_options.model().HomeSeparateBrowser.value()) {
                         if (openInDesktopBrowser(HomePageURL)) {
                             SetButtons();
                             m_state.ActiveButton.clear();
                             return false;
                         }
                         return true; // the tray opens without a page
                     }
                     if (!sameAddress(locationURL(), HomePageURL))
                         navigate(HomePageURL);
                     return true;
                 }});
}

void BrowserPanel::cmdBTV_Click()
{
    auto *ui = m_main.ui;
    panelToggle({ui->cmdBTV, QStringLiteral("cmdBTV"), false, false, nullptr, [this] {
                     if (!sameAddress(locationURL(), m_options.model().BTVURL.value()))
                         navigate(m_options.model().BTVURL.value());
                     return true;
                 }});
}

void BrowserPanel::subPanel(QWidget *frame, QWidget *extra)
{
    auto *ui = m_main.ui;
    PlayClick();
    SetButtons();
    ui->cmdInquiry->setCaptionColor(Qt::black);
    frame->show();
    if (extra)
        extra->show();
    ui->cmdSubmit->show();
}

void BrowserPanel::cmdLookup_Click()
{
    subPanel(m_main.ui->FrameSymbolLookup, nullptr);
    m_main.ui->txtSymbolLookup->setFocus();
}

void BrowserPanel::cmdResearch_Click()
{
    subPanel(m_main.ui->FrameResearch, m_main.ui->cboResearchSource);
    m_state.ActiveButton.clear();
}

void BrowserPanel::cmdIPO_Click()
{
    subPanel(m_main.ui->FrameIPO, nullptr);
}

void BrowserPanel::reShow(QWidget *frame, QWidget *focus)
{
    SetButtons();
    m_main.ui->cmdSubmit->show();
    frame->show();
    m_state.ActiveButton.clear();
    if (focus->isVisible())
        focus->setFocus();
}

void BrowserPanel::reShowList(QComboBox *list)
{
    reShow(list->parentWidget(), list);
    if (list == m_main.ui->cboStockNews)
        m_main.ui->cmdSubmit->setCaptionColor(Qt::white);
}

void BrowserPanel::reShowText(QLineEdit *text)
{
    // Hiding the frame took the focus from the box the user is typing in; it goes back.
    reShow(text->parentWidget(), text);
}

void BrowserPanel::cmdRadio_Click()
{
    PlayClick();
    if (!browserBusy())
        navigate(m_options.model().RadioURL.value());
}

void BrowserPanel::picIslandButton_Click()
{
    m_state.ActiveButton.clear();
    cmdInquiry_Click();
    m_timInterval.stop();
    const QString address = Catalogues::islandBookAddress(
        selectedStock(), Catalogues::builtInSite(m_options.model().StockURL.value()));
    if (sameAddress(locationURL(), address) || !openInDesktopBrowser(address)) {
        if (!sameAddress(locationURL(), address))
            navigate(address);
    }
    m_timInterval.start();
}

QString BrowserPanel::selectedStock()
{
    if (m_state.SelectedRow == 0)
        m_state.SelectedRow = 1;
    FlexGrid *grid = m_main.ui->gridQuotes;
    const int row = m_state.SelectedRow;
    if (row >= grid->rows())
        return {};
    grid->setRow(row);
    grid->setCol(0);
    return grid->textMatrix(row, 0);
}

bool BrowserPanel::openInDesktopBrowser(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;
    return Platform::instance().programs->openUrl(url);
}

// ---- the browser ---------------------------------------------------------------------------

WebBrowser *BrowserPanel::ensureBrowser()
{
    if (!m_browser) {
        QWidget *frame = m_main.ui->WebBrowser1Frame;
        WebBrowserFactory *factory = Platform::instance().browsers;
        if (factory)
            m_browser = factory->create(frame);
        if (!m_browser)
            return nullptr; // a build without a browser engine shows no pages
        auto *layout = qobject_cast<QVBoxLayout *>(frame->layout());
        if (!layout) {
            layout = new QVBoxLayout(frame);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        layout->addWidget(m_browser->widget());
        m_browser->widget()->setVisible(!m_animating);
        connect(m_browser.get(), &WebBrowser::downloadBegin, this,
                [this] { WebBrowser1_DownloadBegin(); });
        connect(m_browser.get(), &WebBrowser::downloadComplete, this,
                [this] { WebBrowser1_DownloadComplete(); });
        if (!m_waiting.isEmpty()) {
            m_loadingWaiting = true;
            m_browser->navigate(std::exchange(m_waiting, QString()));
        }
    }
    return m_browser.get();
}

QString BrowserPanel::pageAddress(const QString &address)
{
    const QString trimmed = address.trimmed();
    const QUrl url(trimmed);
    if (trimmed.isEmpty() || !url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return {};
    return trimmed;
}

void BrowserPanel::navigate(const QString &address)
{
    const QString page = pageAddress(address);
    if (page.isEmpty())
        return;
    WebBrowser *browser = ensureBrowser();
    if (!browser)
        return;
    wakeBrowser(); // the radio may play behind a closed tray
    // The user's page follows the kept one, as it would have followed it into the history.
    if (m_loadingWaiting)
        m_afterWaiting = page;
    else
        browser->navigate(page);
}

void BrowserPanel::openWhenSeen(const QString &address)
{
    const QString page = pageAddress(address);
    if (page.isEmpty())
        return;
    if (m_browser || pageCanBeSeen()) {
        navigate(page);
        return;
    }
    m_waiting = page;
    // As after a first page: nothing to go back or forward to yet.
    m_main.ui->cmdBack->setEnabled(false);
    m_main.ui->cmdForward->setEnabled(false);
}

QString BrowserPanel::locationURL() const
{
    return m_browser ? m_browser->locationURL() : m_waiting;
}

bool BrowserPanel::browserBusy() const
{
    return m_browser && m_browser->busy();
}

void BrowserPanel::stopBrowser()
{
    m_afterWaiting.clear();
    if (m_browser)
        m_browser->stop();
}

bool BrowserPanel::sameAddress(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() && b.isEmpty();
    return QUrl(a).adjusted(QUrl::NormalizePathSegments) ==
           QUrl(b).adjusted(QUrl::NormalizePathSegments);
}

QString BrowserPanel::statusTitle(const QString &title)
{
    return title.size() > TitleLength ? title.left(TitleLength) + QStringLiteral("...") : title;
}

void BrowserPanel::wakeBrowser()
{
    if (m_paused) {
        m_browser->resume();
        m_paused = false;
    }
}

void BrowserPanel::cmdBack_Click()
{
    if (!m_browser || FirstURL.isEmpty() || sameAddress(locationURL(), FirstURL))
        return;
    wakeBrowser();
    if (m_browser->goBack())
        ++ForwardCount;
}

void BrowserPanel::cmdForward_Click()
{
    if (!m_browser)
        return;
    wakeBrowser();
    if (m_browser->goForward())
        --ForwardCount;
}

void BrowserPanel::cmdStop_Click()
{
    stopBrowser();
}

void BrowserPanel::cmdRefresh_Click()
{
    if (m_browser && !m_browser->busy()) {
        wakeBrowser();
        m_browser->stop();
        m_browser->refresh();
        m_main.ui->lblBusy->setText(QStringLiteral("Refreshing Page..."));
    }
    PlayClick();
}

void BrowserPanel::WebBrowser1_DownloadBegin()
{
    m_main.ui->lblBusy->setText(QStringLiteral("Downloading..."));
    if (m_browser)
        m_browser->widget()->setToolTip(QStringLiteral("Downloading..."));
}

void BrowserPanel::WebBrowser1_DownloadComplete()
{
    auto *ui = m_main.ui;
    ui->cmdBack->setEnabled(false);
    ui->cmdForward->setEnabled(false);
    if (!m_browser)
        return;
    ui->lblBusy->setText(statusTitle(m_browser->locationName()));
    m_browser->widget()->setToolTip(QString());
    const QString here = m_browser->locationURL();
    if (FirstURL.isEmpty())
        FirstURL = here;
    ui->cmdBack->setEnabled(!FirstURL.isEmpty() && !sameAddress(here, FirstURL));
    ui->cmdForward->setEnabled(ForwardCount > 0);
    if (std::exchange(m_loadingWaiting, false) && !m_afterWaiting.isEmpty())
        m_browser->navigate(std::exchange(m_afterWaiting, QString()));
}

// ---- Submit --------------------------------------------------------------------------------

void BrowserPanel::saveSetting(const char *key, const QString &value) const
{
    SettingsStore::write(SettingsStore::portfolioSection(m_state.CurrentPortfolio),
                         QString::fromLatin1(key), value);
}

void BrowserPanel::cmdSubmit_Click()
{
    auto *ui = m_main.ui;
    PlayClick();
    if (m_state.ActiveButton == QLatin1String("cmdSubmit")) {
        ui->cmdSubmit->setToolTip(kSubmitTip);
        ui->cmdSubmit->setCaptionColor(Qt::white);
        ToggleBrowserTray();
        m_state.ActiveButton.clear();
    } else {
        ui->cmdSubmit->setCaptionColor(Qt::black);
        ui->cmdSubmit->setToolTip(kCloseTray);
        ui->cmdInquiry->setCaptionColor(Qt::white);
        const QString lookupText = ui->txtSymbolLookup->text();
        const QString researchText = ui->txtResearch->text();
        const QString site = Catalogues::builtInSite(m_options.model().StockURL.value());
        const auto shown = [](QWidget *w) { return !w->isHidden(); };

        if (shown(ui->FrameIPO)) {
            ui->FrameIPO->show();
            ui->cmdSubmit->show();
            const QString address =
                sourcePage(site, QStringLiteral("ipo"), QString(),
                           Catalogues::entryAddress(Catalogues::ipoSources(),
                                                    ui->cboIPOList->currentIndex(), QString()));
            if (!sameAddress(locationURL(), address))
                navigate(address);
        } else if (shown(ui->FrameCharts)) {
            ui->cmdCharts->setCaptionColor(Qt::white);
            ui->cmdCharts->setToolTip(QStringLiteral("View chart for selected stock"));
            ui->FrameCharts->show();
            ChartTimeCode = qint16(Catalogues::chartTimeCode(ui->cboChartTime->currentIndex()));
            ChartFreqCode = qint16(Catalogues::chartFreqCode(ui->cboChartFreq->currentIndex()));
            const QString symbol = selectedStock();
            m_timInterval.stop();
            const QString address =
                Catalogues::chartAddress(symbol, ChartTimeCode, ChartFreqCode, site);
            saveSetting("StockChartsURL", address);
            navigate(address);
        } else if (shown(ui->FrameNews)) {
            ui->cmdNews->setCaptionColor(Qt::white);
            ui->cmdNews->setToolTip(QStringLiteral("Read news about selected stock"));
            ui->FrameNews->show();
            ui->cmdSubmit->show();
            ui->cmdSubmit->setToolTip(kCloseTray);
            const QString symbol = selectedStock();
            navigate(
                sourcePage(site, QStringLiteral("news"), symbol,
                           Catalogues::entryAddress(Catalogues::newsSources(),
                                                    ui->cboStockNews->currentIndex(), symbol)));
        } else if (shown(ui->FrameScreener)) {
            ui->FrameInfoButtons->hide();
            ui->cmdSubmit->show();
            ui->cmdSubmit->setToolTip(kCloseTray);
            ui->cboScreener->show();
            navigate(
                sourcePage(site, QStringLiteral("screener"), QString(),
                           Catalogues::entryAddress(Catalogues::screenerSources(),
                                                    ui->cboScreener->currentIndex(), QString())));
        } else if (shown(ui->FrameResearch)) {
            ui->cmdSubmit->show();
            ui->cmdSubmit->setToolTip(kCloseTray);
            ui->FrameResearch->show();
            ui->cboResearchSource->show();
            navigate(sourcePage(site, QStringLiteral("research"), researchText,
                                Catalogues::entryAddress(Catalogues::researchSources(),
                                                         ui->cboResearchSource->currentIndex(),
                                                         researchText)));
        } else if (shown(ui->FrameSymbolLookup)) {
            ui->cmdSubmit->show();
            ui->cmdSubmit->setToolTip(kCloseTray);
            ui->FrameSymbolLookup->show();
            navigate(Catalogues::symbolLookupAddress(lookupText, site));
        }
    }

    // Every path remembers the chosen sources.
    const auto index = [](QComboBox *list) { return QString::number(list->currentIndex()); };
    saveSetting("ChartFreq", index(ui->cboChartFreq));
    saveSetting("ChartTime", index(ui->cboChartTime));
    saveSetting("IPOIndex", index(ui->cboIPOList));
    saveSetting("StockNews", index(ui->cboStockNews));
    saveSetting("Research", index(ui->cboResearchSource));
    m_state.ChartFreq = qint16(ui->cboChartFreq->currentIndex());
    m_state.ChartTime = qint16(ui->cboChartTime->currentIndex());
    m_state.StockNews = qint16(ui->cboStockNews->currentIndex());
    m_timInterval.start();
    m_state.ActiveButton = QStringLiteral("cmdSubmit");
}
