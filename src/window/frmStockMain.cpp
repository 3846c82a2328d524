#include "frmStockMain.h"

#include "ui_frmStockMain.h"

#include "grid/ImageList.h"
#include "screen/Zoom.h"

namespace {

const QColor DarkGrey(0x58, 0x58, 0x58); // &H585858
const QColor LampOff(0x40, 0x40, 0x40);

// Colours of a dark skin: light captions on the grey face, dark text boxes.
QPalette skinPalette(QPalette palette)
{
    palette.setColor(QPalette::Window, DarkGrey);
    palette.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
    palette.setColor(QPalette::Base, QColor(0x30, 0x30, 0x30));
    palette.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
    palette.setColor(QPalette::Button, DarkGrey);
    palette.setColor(QPalette::ButtonText, QColor(0xE0, 0xE0, 0xE0));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
    return palette;
}

} // namespace

frmStockMain::frmStockMain(QWidget *parent) : QWidget(parent), ui(new Ui::frmStockMain)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint);
    setPalette(skinPalette(palette()));

    // Pictures of the browser layout, the one the window is designed in.
    showSkin(ImageList::BrowserSkin);
    ImageList::show(*ui->picMoveUp, ImageList::ButtonUp);
    ImageList::show(*ui->picMoveDown, ImageList::ButtonDown);
    ImageList::show(*ui->picMaxWide, ImageList::WidenWindow);
    ImageList::show(*ui->picTickerSize, ImageList::ButtonDown);
    ImageList::show(*ui->picIslandButton, ImageList::IslandButton);
    ImageList::show(*ui->picControlBox, ImageList::ControlBox);
    ImageList::show(*ui->picCalc, ImageList::Calculator);

    // Bezels and the status lamp are plain colour.
    ui->picLED->setBackColor(LampOff);
    ui->picRightBorder->setBackColor(QColor(0x3A, 0x3C, 0x42));
    ui->imgBezelBottom->setBackColor(QColor(0x60, 0x64, 0x6C));
    // The ticker's place is dark grey, whatever picture the window shows behind it.
    QPalette tickerPalette = ui->Scroller1Frame->palette();
    tickerPalette.setBrush(QPalette::Window, DarkGrey);
    ui->Scroller1Frame->setPalette(tickerPalette);
    ui->Scroller1Frame->setAutoFillBackground(true);

    // Hidden until the panel, the tray or the ticker layout asks for them. The frames of
    // the browser panel share one place and are shown one at a time.
    for (QWidget *hidden :
         {static_cast<QWidget *>(ui->FrameCharts), static_cast<QWidget *>(ui->FrameNews),
          static_cast<QWidget *>(ui->FrameResearch), static_cast<QWidget *>(ui->FrameSymbolLookup),
          static_cast<QWidget *>(ui->FrameIPO), static_cast<QWidget *>(ui->FrameScreener),
          static_cast<QWidget *>(ui->FrameInfoButtons), static_cast<QWidget *>(ui->cmdSubmit),
          static_cast<QWidget *>(ui->cmdPrintTicker), static_cast<QWidget *>(ui->imgBezelBottom)})
        hidden->hide();

    // The layout as designed is the layout at 100%.
    Zoom::remember(*this);
}

frmStockMain::~frmStockMain()
{
    delete ui;
}

QPixmap frmStockMain::picture() const
{
    const QBrush brush = palette().brush(QPalette::Window);
    return brush.style() == Qt::TexturePattern ? brush.texture() : QPixmap();
}

void frmStockMain::setPicture(const QPixmap &picture)
{
    QPalette p = palette();
    if (picture.isNull())
        p.setBrush(QPalette::Window, DarkGrey);
    else
        p.setBrush(QPalette::Window, QBrush(picture));
    setPalette(p);
    setAutoFillBackground(true);
}

void frmStockMain::showSkin(int index)
{
    m_skin = index;
    setPicture(ImageList::instance().image(index, Zoom::factor(*this), devicePixelRatioF()));
}

void frmStockMain::setZoom(int percent)
{
    Zoom::apply(*this, percent);
    ImageList::showAgain(*this);
    if (m_skin != 0)
        showSkin(m_skin);
}

int frmStockMain::zoom() const
{
    return qRound(Zoom::factor(*this) * 100);
}

PanelControls frmStockMain::panelControls()
{
    PanelControls c;
    c.window = this;
    c.gridQuotes = ui->gridQuotes;
    c.lblPortfolioValue = ui->lblPortfolioValue;
    c.lblPortfolioToday = ui->lblPortfolioToday;
    c.txtPortfolioValue = ui->txtPortfolioValue;
    c.txtPortfolioToday = ui->txtPortfolioToday;
    c.lblDelayNotice = ui->lblDelayNotice;
    c.txtUpdateTime = ui->txtUpdateTime;
    return c;
}
