#include "WindowModes.h"

#include "ImageList.h"
#include "app/MainState.h"
#include "app/Sounds.h"
#include "app/frmStockMain.h"
#include "browser/BrowserPanel.h"
#include "common/Twips.h"
#include "settings/SettingsStore.h"
#include "ui_frmStockMain.h"

#include <QScreen>

WindowModes::WindowModes(MainState &state, frmStockMain &main) : m_state(state), m_main(main) {}

void WindowModes::setBackgroundPicture(QWidget &window, const QPixmap &picture)
{
    QPalette palette = window.palette();
    palette.setBrush(QPalette::Window, QBrush(picture));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

void WindowModes::setBrowserMode()
{
    auto *ui = m_main.ui;
    m_main.resize(Twips::toPixels(NarrowWidth), Twips::toPixels(CollapsedHeight));
    for (QWidget *w :
         {static_cast<QWidget *>(ui->FrameBrowserButtons), static_cast<QWidget *>(ui->lblBusy),
          static_cast<QWidget *>(ui->picRightBorder), static_cast<QWidget *>(ui->picBezelRight),
          static_cast<QWidget *>(ui->WebBrowser1Frame), static_cast<QWidget *>(ui->picButtonFrame),
          static_cast<QWidget *>(ui->picIslandButton)})
        w->show();
    ui->cmdPrintTicker->hide();
    ui->gridQuotes->resize(ui->gridQuotes->width(), Twips::toPixels(GridHeightBrowser));
    ui->picPanel->move(ui->picPanel->x(), Twips::toPixels(PanelTopBrowser));
    ui->picTickerSize->setPixmap(ImageList::instance().image(ImageList::ButtonDown));
    setBackgroundPicture(m_main, ImageList::instance().image(ImageList::BrowserSkin));
    m_state.WindowMode = QStringLiteral("Browser");
}

void WindowModes::setTickerMode()
{
    auto *ui = m_main.ui;
    ui->FrameBrowserButtons->hide();
    m_main.resize(Twips::toPixels(TickerWidth), Twips::toPixels(TickerHeight));
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
    ui->gridQuotes->resize(ui->gridQuotes->width(), Twips::toPixels(GridHeightTicker));
    ui->picPanel->move(ui->picPanel->x(), Twips::toPixels(PanelTopTicker));
    ui->picTickerSize->setPixmap(ImageList::instance().image(ImageList::ButtonUp));
    setBackgroundPicture(m_main, ImageList::instance().image(ImageList::TickerSkin));
    m_state.WindowMode = QStringLiteral("Ticker");
}

void WindowModes::picTickerSize_Click()
{
    PlayClick();
    const QScreen *screen = m_main.screen();
    if (screen && m_main.width() >= screen->geometry().width())
        m_main.resize(Twips::toPixels(NarrowWidth), m_main.height());

    if (m_state.WindowMode == QLatin1String("Ticker"))
        setBrowserMode();
    else if (m_state.WindowMode == QLatin1String("Browser"))
        setTickerMode();

    m_state.ActiveButton.clear();
    BrowserPanel::SetButtons(m_main);
    m_state.BrowserOpen = false;
    SettingsStore::write(SettingsStore::portfolioSection(m_state.CurrentPortfolio),
                         QStringLiteral("Mode"), m_state.WindowMode);
}
