#include "BrowserPanel.h"

#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "options/OptionBindings.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "platform/WebBrowser.h"
#include "screen/Twips.h"
#include "settings/Catalogues.h"
#include "settings/SettingsStore.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

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
    // The source lists' positions are the model's: a pick is in the model at once, and a
    // position loaded with a portfolio is put into its list.
    OptionsModel &model = options.model();
    OptionBindings::bind(model.ChartTime, main.cboChartTime());
    OptionBindings::bind(model.ChartFreq, main.cboChartFreq());
    OptionBindings::bind(model.StockNews, main.cboStockNews());
    OptionBindings::bind(model.IPOIndex, main.cboIPOList());
    OptionBindings::bind(model.Screener, main.cboScreener());
}

BrowserPanel::~BrowserPanel() = default;

void BrowserPanel::SetButtons(frmStockMain &main)
{
    frmStockMain *form = &main;
    form->cmdHome()->setToolTip(QStringLiteral("Go to your Home page"));
    form->cmdCharts()->setToolTip(QStringLiteral("View chart for selected stock"));
    form->cmdNews()->setToolTip(QStringLiteral("Read news about selected stock"));
    form->cmdSubmit()->setToolTip(kSubmitTip);
    form->cmdInquiry()->setToolTip(
        QStringLiteral("Research, IPO data, stock screener, and symbol lookup"));
    form->cmdBTV()->setToolTip(QStringLiteral("Bloomberg TV live"));

    const QColor second = QColor::fromRgb(0x58, 0x58, 0x58); // 5789784 = &H585858
    for (LinkButton *b : {form->cmdHome(), form->cmdCharts(), form->cmdNews(), form->cmdSubmit(),
                          form->cmdInquiry(), form->cmdBTV(), form->cmdResearch(),
                          form->cmdScreener(), form->cmdLookup(), form->cmdIPO()})
        b->setSecondColor(second);
    for (LinkButton *b : {form->cmdScreener(), form->cmdHome(), form->cmdCharts(), form->cmdNews(),
                          form->cmdSubmit(), form->cmdInquiry(), form->cmdBTV()})
        b->setCaptionColor(Qt::white);

    for (QWidget *w :
         {static_cast<QWidget *>(form->FrameCharts()),
          static_cast<QWidget *>(form->FrameScreener()), static_cast<QWidget *>(form->FrameNews()),
          static_cast<QWidget *>(form->FrameInfoButtons()),
          static_cast<QWidget *>(form->FrameResearch()),
          static_cast<QWidget *>(form->FrameSymbolLookup()),
          static_cast<QWidget *>(form->FrameIPO()), static_cast<QWidget *>(form->cmdSubmit())})
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
    frmStockMain *form = &m_main;
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
        QWidget *bezel = form->imgBezelBottom();
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
        form->imgBezelBottom()->hide();
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
    frmStockMain *form = &m_main;
    panelToggle({form->cmdCharts(), QStringLiteral("cmdCharts"), true, true,
                 [form] {
                     form->FrameCharts()->show();
                     form->cmdSubmit()->show();
                 },
                 nullptr});
}

void BrowserPanel::cmdNews_Click()
{
    frmStockMain *form = &m_main;
    panelToggle({form->cmdNews(), QStringLiteral("cmdNews"), true, true,
                 [form] {
                     form->FrameNews()->show();
                     form->lblStockNews()->show();
                     form->cboStockNews()->show();
                     form->cmdSubmit()->show();
                     form->cmdSubmit()->setCaptionColor(Qt::white);
                 },
                 nullptr});
}

void BrowserPanel::cmdInquiry_Click()
{
    frmStockMain *form = &m_main;
    panelToggle({form->cmdInquiry(), QStringLiteral("cmdInquiry"), true, false,
                 [form] { form->FrameInfoButtons()->show(); }, nullptr});
}

void BrowserPanel::cmdScreener_Click()
{
    frmStockMain *form = &m_main;
    panelToggle({form->cmdScreener(), QStringLiteral("cmdScreener"), false, false, nullptr, [form] {
                     form->FrameInfoButtons()->hide();
                     form->FrameScreener()->show();
                     form->cmdSubmit()->show();
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
    frmStockMain *form = &m_main;
    panelToggle({form->cmdHome(), QStringLiteral("cmdHome"), false, false, nullptr, [this, form] {
                     form->lblStockNews()->hide();
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
    frmStockMain *form = &m_main;
    panelToggle({form->cmdBTV(), QStringLiteral("cmdBTV"), false, false, nullptr, [this] {
                     if (!sameAddress(locationURL(), m_options.model().BTVURL.value()))
                         navigate(m_options.model().BTVURL.value());
                     return true;
                 }});
}

void BrowserPanel::subPanel(QWidget *frame, QWidget *extra)
{
    frmStockMain *form = &m_main;
    PlayClick();
    SetButtons();
    form->cmdInquiry()->setCaptionColor(Qt::black);
    frame->show();
    if (extra)
        extra->show();
    form->cmdSubmit()->show();
}

void BrowserPanel::cmdLookup_Click()
{
    subPanel(m_main.FrameSymbolLookup(), nullptr);
    m_main.txtSymbolLookup()->setFocus();
}

void BrowserPanel::cmdResearch_Click()
{
    subPanel(m_main.FrameResearch(), m_main.cboResearchSource());
    m_state.ActiveButton.clear();
}

void BrowserPanel::cmdIPO_Click()
{
    subPanel(m_main.FrameIPO(), nullptr);
}

void BrowserPanel::reShow(QWidget *frame, QWidget *focus)
{
    SetButtons();
    m_main.cmdSubmit()->show();
    frame->show();
    m_state.ActiveButton.clear();
    if (focus->isVisible())
        focus->setFocus();
}

void BrowserPanel::reShowList(QComboBox *list)
{
    reShow(list->parentWidget(), list);
    if (list == m_main.cboStockNews())
        m_main.cmdSubmit()->setCaptionColor(Qt::white);
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
    FlexGrid *grid = m_main.gridQuotes();
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
        QWidget *frame = m_main.WebBrowser1Frame();
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
    m_main.cmdBack()->setEnabled(false);
    m_main.cmdForward()->setEnabled(false);
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
        m_main.lblBusy()->setText(QStringLiteral("Refreshing Page..."));
    }
    PlayClick();
}

void BrowserPanel::WebBrowser1_DownloadBegin()
{
    m_main.lblBusy()->setText(QStringLiteral("Downloading..."));
    if (m_browser)
        m_browser->widget()->setToolTip(QStringLiteral("Downloading..."));
}

void BrowserPanel::WebBrowser1_DownloadComplete()
{
    frmStockMain *form = &m_main;
    form->cmdBack()->setEnabled(false);
    form->cmdForward()->setEnabled(false);
    if (!m_browser)
        return;
    form->lblBusy()->setText(statusTitle(m_browser->locationName()));
    m_browser->widget()->setToolTip(QString());
    const QString here = m_browser->locationURL();
    if (FirstURL.isEmpty())
        FirstURL = here;
    form->cmdBack()->setEnabled(!FirstURL.isEmpty() && !sameAddress(here, FirstURL));
    form->cmdForward()->setEnabled(ForwardCount > 0);
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
    frmStockMain *form = &m_main;
    PlayClick();
    if (m_state.ActiveButton == QLatin1String("cmdSubmit")) {
        form->cmdSubmit()->setToolTip(kSubmitTip);
        form->cmdSubmit()->setCaptionColor(Qt::white);
        ToggleBrowserTray();
        m_state.ActiveButton.clear();
    } else {
        form->cmdSubmit()->setCaptionColor(Qt::black);
        form->cmdSubmit()->setToolTip(kCloseTray);
        form->cmdInquiry()->setCaptionColor(Qt::white);
        const QString lookupText = form->txtSymbolLookup()->text();
        const QString researchText = form->txtResearch()->text();
        const QString site = Catalogues::builtInSite(m_options.model().StockURL.value());
        const auto shown = [](QWidget *w) { return !w->isHidden(); };

        if (shown(form->FrameIPO())) {
            form->FrameIPO()->show();
            form->cmdSubmit()->show();
            const QString address =
                sourcePage(site, QStringLiteral("ipo"), QString(),
                           Catalogues::entryAddress(Catalogues::ipoSources(),
                                                    form->cboIPOList()->currentIndex(), QString()));
            if (!sameAddress(locationURL(), address))
                navigate(address);
        } else if (shown(form->FrameCharts())) {
            form->cmdCharts()->setCaptionColor(Qt::white);
            form->cmdCharts()->setToolTip(QStringLiteral("View chart for selected stock"));
            form->FrameCharts()->show();
            ChartTimeCode = qint16(Catalogues::chartTimeCode(form->cboChartTime()->currentIndex()));
            ChartFreqCode = qint16(Catalogues::chartFreqCode(form->cboChartFreq()->currentIndex()));
            const QString symbol = selectedStock();
            m_timInterval.stop();
            const QString address =
                Catalogues::chartAddress(symbol, ChartTimeCode, ChartFreqCode, site);
            saveSetting("StockChartsURL", address);
            navigate(address);
        } else if (shown(form->FrameNews())) {
            form->cmdNews()->setCaptionColor(Qt::white);
            form->cmdNews()->setToolTip(QStringLiteral("Read news about selected stock"));
            form->FrameNews()->show();
            form->cmdSubmit()->show();
            form->cmdSubmit()->setToolTip(kCloseTray);
            const QString symbol = selectedStock();
            navigate(
                sourcePage(site, QStringLiteral("news"), symbol,
                           Catalogues::entryAddress(Catalogues::newsSources(),
                                                    form->cboStockNews()->currentIndex(), symbol)));
        } else if (shown(form->FrameScreener())) {
            form->FrameInfoButtons()->hide();
            form->cmdSubmit()->show();
            form->cmdSubmit()->setToolTip(kCloseTray);
            form->cboScreener()->show();
            navigate(sourcePage(site, QStringLiteral("screener"), QString(),
                                Catalogues::entryAddress(Catalogues::screenerSources(),
                                                         form->cboScreener()->currentIndex(),
                                                         QString())));
        } else if (shown(form->FrameResearch())) {
            form->cmdSubmit()->show();
            form->cmdSubmit()->setToolTip(kCloseTray);
            form->FrameResearch()->show();
            form->cboResearchSource()->show();
            navigate(sourcePage(site, QStringLiteral("research"), researchText,
                                Catalogues::entryAddress(Catalogues::researchSources(),
                                                         form->cboResearchSource()->currentIndex(),
                                                         researchText)));
        } else if (shown(form->FrameSymbolLookup())) {
            form->cmdSubmit()->show();
            form->cmdSubmit()->setToolTip(kCloseTray);
            form->FrameSymbolLookup()->show();
            navigate(Catalogues::symbolLookupAddress(lookupText, site));
        }
    }

    // Every path remembers the chosen sources.
    const auto index = [](QComboBox *list) { return QString::number(list->currentIndex()); };
    saveSetting("ChartFreq", index(form->cboChartFreq()));
    saveSetting("ChartTime", index(form->cboChartTime()));
    saveSetting("IPOIndex", index(form->cboIPOList()));
    saveSetting("StockNews", index(form->cboStockNews()));
    saveSetting("Research", index(form->cboResearchSource()));
    m_timInterval.start();
    m_state.ActiveButton = QStringLiteral("cmdSubmit");
}
