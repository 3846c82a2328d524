#include "WindowModes.h"

#include "browser/BrowserPanel.h"
#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "platform/Sounds.h"
#include "screen/Twips.h"
#include "settings/SettingsStore.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/PopupMenu.h"
#include "window/frmStockMain.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QWidget>

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
    frmStockMain *form = &m_main;
    m_main.resize(Twips::toPixels(m_main, NarrowWidth), Twips::toPixels(m_main, CollapsedHeight));
    for (QWidget *w :
         {static_cast<QWidget *>(form->FrameBrowserButtons()),
          static_cast<QWidget *>(form->lblBusy()), static_cast<QWidget *>(form->picRightBorder()),
          static_cast<QWidget *>(form->picBezelRight()),
          static_cast<QWidget *>(form->WebBrowser1Frame()),
          static_cast<QWidget *>(form->picButtonFrame()),
          static_cast<QWidget *>(form->picIslandButton())})
        w->show();
    form->cmdPrintTicker()->hide();
    form->gridQuotes()->resize(form->gridQuotes()->width(),
                               Twips::toPixels(m_main, GridHeightBrowser));
    form->picPanel()->move(form->picPanel()->x(), Twips::toPixels(m_main, PanelTopBrowser));
    if (m_menu) {
        m_menu->mnuBTV->setEnabled(true);
        m_menu->mnuData->menuAction()->setEnabled(true);
        m_menu->mnuTickerBrowser->setChecked(true);
        m_menu->mnuTickerScroller->setChecked(false);
    }
    ImageList::show(*form->picTickerSize(), ImageList::ButtonDown);
    m_main.showSkin(ImageList::BrowserSkin);
    m_state.WindowMode = QStringLiteral("Browser");
}

void WindowModes::setTickerMode()
{
    frmStockMain *form = &m_main;
    form->FrameBrowserButtons()->hide();
    m_main.resize(Twips::toPixels(m_main, TickerWidth), Twips::toPixels(m_main, TickerHeight));
    if (m_menu) {
        m_menu->mnuBTV->setEnabled(false);
        m_menu->mnuData->menuAction()->setEnabled(false);
    }
    form->cmdPrintTicker()->show();
    for (QWidget *w :
         {static_cast<QWidget *>(form->lblBusy()), static_cast<QWidget *>(form->cmdSubmit()),
          static_cast<QWidget *>(form->picRightBorder()),
          static_cast<QWidget *>(form->picBezelRight()),
          static_cast<QWidget *>(form->WebBrowser1Frame()),
          static_cast<QWidget *>(form->picButtonFrame()),
          static_cast<QWidget *>(form->picIslandButton()),
          static_cast<QWidget *>(form->FrameCharts()),
          static_cast<QWidget *>(form->FrameInfoButtons()),
          static_cast<QWidget *>(form->FrameIPO()), static_cast<QWidget *>(form->FrameNews()),
          static_cast<QWidget *>(form->FrameResearch()),
          static_cast<QWidget *>(form->FrameSymbolLookup())})
        w->hide();
    form->gridQuotes()->resize(form->gridQuotes()->width(),
                               Twips::toPixels(m_main, GridHeightTicker));
    form->picPanel()->move(form->picPanel()->x(), Twips::toPixels(m_main, PanelTopTicker));
    ImageList::show(*form->picTickerSize(), ImageList::ButtonUp);
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
    QWidget *box = m_main.picControlBox();
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
    frmStockMain *form = &m_main;
    m_main.resize(Twips::toPixels(m_main, widthTwips), m_main.height());
    // The ticker strip keeps its right margin of the narrow width, so at full screen width it
    // runs across the whole window; it never gets narrower than its designed width.
    QWidget *ticker = form->Scroller1Frame();
    if (m_tickerWidth == 0)
        m_tickerWidth = Twips::toTwips(m_main, ticker->width());
    const int tickerWidth = Twips::toPixels(m_main, m_tickerWidth);
    const int tickerMargin = Twips::toPixels(m_main, NarrowWidth) - ticker->x() - tickerWidth;
    ticker->resize(
        std::max(tickerWidth, Twips::toPixels(m_main, widthTwips) - ticker->x() - tickerMargin),
        ticker->height());
    QWidget *browser = form->WebBrowser1Frame();
    browser->resize(Twips::toPixels(m_main, widthTwips - browserMargin), browser->height());
    setLeft(form->picBezelRight(), widthTwips - bezelOffset);
    setLeft(form->picControlBox(),
            widthTwips - Twips::toTwips(m_main, form->picControlBox()->width()) - controlBoxMargin);
    setLeft(form->picRightBorder(),
            widthTwips - Twips::toTwips(m_main, form->picRightBorder()->width()) - borderMargin);
}

void WindowModes::picMaxWide_Click()
{
    frmStockMain *form = &m_main;
    PlayClick();
    // The browser is shown again afterwards only where the layout has it.
    const bool browserShown = !form->WebBrowser1Frame()->isHidden();
    form->WebBrowser1Frame()->hide();

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
        ImageList::show(*form->picMaxWide(), ImageList::NarrowWindow);
        form->picMaxWide()->setToolTip(kNarrowTip);
    } else {
        while (width >= NarrowWidth) {
            width -= WidthStep;
            setWidth(width, 120, 2080, 150, 0);
            m_main.repaint();
        }
        width = NarrowWidth;
        ImageList::show(*form->picMaxWide(), ImageList::WidenWindow);
        form->picMaxWide()->setToolTip(kWidenTip);
    }

    form->picMaxWide()->repaint();
    form->WebBrowser1Frame()->setVisible(browserShown);
    form->picBezelRight()->raise();
    form->picButtonFrame()->raise();
    form->imgBezelBottom()->raise();
    form->picRightBorder()->raise();
    setWidth(width, 215, 2150, 50, 100);
}

void WindowModes::Form_Resize()
{
    frmStockMain *form = &m_main;
    form->picBezelRight()->move(form->picBezelRight()->x(), Twips::toPixels(m_main, BezelRightTop));
    const double height = Twips::toTwips(m_main, m_main.height());
    if (height > BrowserHeightFrom) {
        QWidget *browser = form->WebBrowser1Frame();
        browser->resize(browser->width(), Twips::toPixels(m_main, height - BrowserHeightMargin));
    }
    form->picMaxWide()->raise();
}
