#include "WindowModes.h"

#include "browser/BrowserPanel.h"
#include "common/MainState.h"
#include "grid/ImageList.h"
#include "platform/Sounds.h"
#include "screen/Twips.h"
#include "settings/SettingsStore.h"
#include "ui_frmStockMain.h"
#include "window/PopupMenu.h"
#include "window/frmStockMain.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace {

const QString kWidenTip = QStringLiteral("Click to extend width to 1024 pixels");
const QString kNarrowTip = QStringLiteral("Click to reduce width to 800 pixels");

void setLeft(QWidget *widget, double leftTwips)
{
    widget->move(Twips::toPixels(*widget, leftTwips), widget->y());
}

} // namespace

WindowModes::WindowModes(MainState &state, frmStockMain &main) : m_state(state), m_main(main)
{
    m_main.installEventFilter(this);
}

bool WindowModes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_main && event->type() == QEvent::Resize)
        Form_Resize();
    return QObject::eventFilter(watched, event);
}

double WindowModes::screenWidthTwips() const
{
    if (m_screenWidth)
        return m_screenWidth();
    return Twips::screenSize(m_main).width();
}

void WindowModes::setBrowserMode()
{
    auto *ui = m_main.ui;
    m_main.resize(Twips::toPixels(m_main, NarrowWidth), Twips::toPixels(m_main, CollapsedHeight));
    for (QWidget *w :
         {static_cast<QWidget *>(ui->FrameBrowserButtons), static_cast<QWidget *>(ui->lblBusy),
          static_cast<QWidget *>(ui->picRightBorder), static_cast<QWidget *>(ui->picBezelRight),
          static_cast<QWidget *>(ui->WebBrowser1Frame), static_cast<QWidget *>(ui->picButtonFrame),
          static_cast<QWidget *>(ui->picIslandButton)})
        w->show();
    ui->cmdPrintTicker->hide();
    ui->gridQuotes->resize(ui->gridQuotes->width(), Twips::toPixels(m_main, GridHeightBrowser));
    ui->picPanel->move(ui->picPanel->x(), Twips::toPixels(m_main, PanelTopBrowser));
    if (m_menu) {
        m_menu->mnuBTV->setEnabled(true);
        m_menu->mnuData->menuAction()->setEnabled(true);
        m_menu->mnuTickerBrowser->setChecked(true);
        m_menu->mnuTickerScroller->setChecked(false);
    }
    ImageList::show(*ui->picTickerSize, ImageList::ButtonDown);
    m_main.showSkin(ImageList::BrowserSkin);
    m_state.WindowMode = QStringLiteral("Browser");
}

void WindowModes::setTickerMode()
{
    auto *ui = m_main.ui;
    ui->FrameBrowserButtons->hide();
    m_main.resize(Twips::toPixels(m_main, TickerWidth), Twips::toPixels(m_main, TickerHeight));
    if (m_menu) {
        m_menu->mnuBTV->setEnabled(false);
        m_menu->mnuData->menuAction()->setEnabled(false);
    }
    ui->cmdPrintTicker->show();
    for (QWidget *w :
         {static_cast<QWidget *>(ui->lblBusy), static_cast<QWidget *>(ui->cmdSubmit),
          static_cast<QWidget *>(ui->picRightBorder), static_cast<QWidget *>(ui->picBezelRight),
          static_cast<QWidget *>(ui->WebBrowser1Frame), static_cast<QWidget *>(ui->picButtonFrame),
          static_cast<QWidget *>(ui->picIslandButton), static_cast<QWidget *>(ui->FrameCharts),
          static_cast<QWidget *>(ui->FrameInfoButtons), static_cast<QWidget *>(ui->FrameIPO),
          static_cast<QWidget *>(ui->FrameNews), static_cast<QWidget *>(ui->FrameResearch),
          static_cast<QWidget *>(ui->FrameSymbolLookup)})
        w->hide();
    ui->gridQuotes->resize(ui->gridQuotes->width(), Twips::toPixels(m_main, GridHeightTicker));
    ui->picPanel->move(ui->picPanel->x(), Twips::toPixels(m_main, PanelTopTicker));
    ImageList::show(*ui->picTickerSize, ImageList::ButtonUp);
    m_main.showSkin(ImageList::TickerSkin);
    if (m_menu) {
        m_menu->mnuTickerBrowser->setChecked(false);
        m_menu->mnuTickerScroller->setChecked(true);
    }
    m_state.WindowMode = QStringLiteral("Ticker");
}

void WindowModes::picTickerSize_Click()
{
    PlayClick();
    if (Twips::toTwips(m_main, m_main.width()) >= screenWidthTwips())
        picMaxWide_Click();

    if (m_state.WindowMode == QLatin1String("Ticker"))
        setBrowserMode();
    else if (m_state.WindowMode == QLatin1String("Browser"))
        setTickerMode();
    // The control box stays at the right edge of either width, so the window can always be
    // hidden to the notification area.
    QWidget *box = m_main.ui->picControlBox;
    setLeft(box,
            Twips::toTwips(m_main, m_main.width()) - Twips::toTwips(m_main, box->width()) - 50);

    m_state.ActiveButton.clear();
    BrowserPanel::SetButtons(m_main);
    m_state.BrowserOpen = false;
    SettingsStore::write(SettingsStore::portfolioSection(m_state.CurrentPortfolio),
                         QStringLiteral("Mode"), m_state.WindowMode);
    // Written through at once: a layout chosen just before the session ends is kept.
    SettingsStore::sync();
}

void WindowModes::setWidth(double widthTwips, double browserMargin, double bezelOffset,
                           double controlBoxMargin, double borderMargin)
{
    auto *ui = m_main.ui;
    m_main.resize(Twips::toPixels(m_main, widthTwips), m_main.height());
    // The ticker strip keeps its right margin of the narrow width, so at full screen width it
    // runs across the whole window; it never gets narrower than its designed width.
    QWidget *ticker = ui->Scroller1Frame;
    if (m_tickerWidth == 0)
        m_tickerWidth = Twips::toTwips(m_main, ticker->width());
    const int tickerWidth = Twips::toPixels(m_main, m_tickerWidth);
    const int tickerMargin = Twips::toPixels(m_main, NarrowWidth) - ticker->x() - tickerWidth;
    ticker->resize(
        std::max(tickerWidth, Twips::toPixels(m_main, widthTwips) - ticker->x() - tickerMargin),
        ticker->height());
    QWidget *browser = ui->WebBrowser1Frame;
    browser->resize(Twips::toPixels(m_main, widthTwips - browserMargin), browser->height());
    setLeft(ui->picBezelRight, widthTwips - bezelOffset);
    setLeft(ui->picControlBox,
            widthTwips - Twips::toTwips(m_main, ui->picControlBox->width()) - controlBoxMargin);
    setLeft(ui->picRightBorder,
            widthTwips - Twips::toTwips(m_main, ui->picRightBorder->width()) - borderMargin);
}

void WindowModes::picMaxWide_Click()
{
    auto *ui = m_main.ui;
    PlayClick();
    // The browser is shown again afterwards only where the layout has it.
    const bool browserShown = !ui->WebBrowser1Frame->isHidden();
    ui->WebBrowser1Frame->hide();

    const double screenWidth = screenWidthTwips();
    double width = Twips::toTwips(m_main, m_main.width());
    if (width < screenWidth) {
        if (const QScreen *screen = m_main.screen())
            m_main.move(screen->geometry().topLeft());
        else
            m_main.move(0, 0);
        do {
            width += WidthStep;
            setWidth(width, 120, 2080, 150, 0);
            m_main.repaint();
        } while (width <= screenWidth);
        width = screenWidth;
        ImageList::show(*ui->picMaxWide, ImageList::NarrowWindow);
        ui->picMaxWide->setToolTip(kNarrowTip);
    } else {
        while (width >= NarrowWidth) {
            width -= WidthStep;
            setWidth(width, 120, 2080, 150, 0);
            m_main.repaint();
        }
        width = NarrowWidth;
        ImageList::show(*ui->picMaxWide, ImageList::WidenWindow);
        ui->picMaxWide->setToolTip(kWidenTip);
    }

    ui->picMaxWide->repaint();
    ui->WebBrowser1Frame->setVisible(browserShown);
    ui->picBezelRight->raise();
    ui->picButtonFrame->raise();
    ui->imgBezelBottom->raise();
    ui->picRightBorder->raise();
    setWidth(width, 215, 2150, 50, 100);
}

void WindowModes::Form_Resize()
{
    auto *ui = m_main.ui;
    ui->picBezelRight->move(ui->picBezelRight->x(), Twips::toPixels(m_main, BezelRightTop));
    const double height = Twips::toTwips(m_main, m_main.height());
    if (height > BrowserHeightFrom) {
        QWidget *browser = ui->WebBrowser1Frame;
        browser->resize(browser->width(), Twips::toPixels(m_main, height - BrowserHeightMargin));
    }
    ui->picMaxWide->raise();
}
