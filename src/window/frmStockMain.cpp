#include "frmStockMain.h"

#include "ui_frmStockMain.h"

#include "grid/ImageList.h"
#include "screen/Colors.h"
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

void frmStockMain::paintLamp(const QColor &color)
{
    // The lamp is a box filled with its back colour; its palette is not what it paints.
    ui->picLED->setBackColor(color);
}

QColor frmStockMain::lampColor() const
{
    const QImage image = ui->picLED->grab().toImage();
    if (image.isNull())
        return {};
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QList<QWidget *> frmStockMain::dragSurfaces()
{
    return {this,
            ui->FrameResearch,
            ui->lblBusy,
            ui->lblPortfolioToday,
            ui->lblPortfolioValue,
            ui->lblResearch,
            ui->lblScreener,
            ui->lblUpdate,
            ui->lblUpdateTime,
            ui->imgBezelBottom,
            ui->picBezelRight,
            ui->picPanel,
            ui->picRightBorder,
            ui->txtNextUpdate,
            ui->txtPortfolioToday,
            ui->txtPortfolioValue,
            ui->txtUpdateTime};
}

void frmStockMain::setNextUpdate(const QString &text)
{
    ui->txtNextUpdate->setText(text);
}

FlexGrid *frmStockMain::gridQuotes() const
{
    return ui->gridQuotes;
}

void frmStockMain::setDelayNotice(const QString &text)
{
    ui->lblDelayNotice->setText(text);
}

void frmStockMain::setUpdateTime(const QString &text)
{
    ui->txtUpdateTime->setText(text);
}

void frmStockMain::showPortfolio(const PortfolioFigures &figures)
{
    ui->txtPortfolioValue->setText(figures.value);
    QLineEdit *today = ui->txtPortfolioToday;
    today->setText(figures.today);
    QPalette palette = today->palette();
    palette.setColor(QPalette::Text, Colors::fromBgr(figures.todayColor));
    today->setPalette(palette);
}

PortfolioFigures frmStockMain::portfolioShown() const
{
    return {ui->txtPortfolioValue->text(), ui->txtPortfolioToday->text(),
            Colors::toBgr(ui->txtPortfolioToday->palette().color(QPalette::Text))};
}

QString frmStockMain::portfolioValueCaption() const
{
    return ui->lblPortfolioValue->text();
}

QString frmStockMain::portfolioTodayCaption() const
{
    return ui->lblPortfolioToday->text();
}

QWidget *frmStockMain::Scroller1Frame() const
{
    return ui->Scroller1Frame;
}

ClickableLabel *frmStockMain::picPanel() const
{
    return ui->picPanel;
}

ClickableLabel *frmStockMain::picButtonFrame() const
{
    return ui->picButtonFrame;
}

LinkButton *frmStockMain::cmdHome() const
{
    return ui->cmdHome;
}

LinkButton *frmStockMain::cmdCharts() const
{
    return ui->cmdCharts;
}

LinkButton *frmStockMain::cmdNews() const
{
    return ui->cmdNews;
}

LinkButton *frmStockMain::cmdInquiry() const
{
    return ui->cmdInquiry;
}

LinkButton *frmStockMain::cmdBTV() const
{
    return ui->cmdBTV;
}

LinkButton *frmStockMain::cmdRadio() const
{
    return ui->cmdRadio;
}

LinkButton *frmStockMain::cmdPrintTicker() const
{
    return ui->cmdPrintTicker;
}

LinkButton *frmStockMain::cmdOptions() const
{
    return ui->cmdOptions;
}

LinkButton *frmStockMain::cmdUpdate() const
{
    return ui->cmdUpdate;
}

LinkButton *frmStockMain::cmdExit() const
{
    return ui->cmdExit;
}

QLabel *frmStockMain::lblDelayNotice() const
{
    return ui->lblDelayNotice;
}

ClickableLabel *frmStockMain::picTickerSize() const
{
    return ui->picTickerSize;
}

ClickableLabel *frmStockMain::picCalc() const
{
    return ui->picCalc;
}

ClickableLabel *frmStockMain::picMaxWide() const
{
    return ui->picMaxWide;
}

ClickableLabel *frmStockMain::picMoveUp() const
{
    return ui->picMoveUp;
}

ClickableLabel *frmStockMain::picMoveDown() const
{
    return ui->picMoveDown;
}

QFrame *frmStockMain::FrameCharts() const
{
    return ui->FrameCharts;
}

QComboBox *frmStockMain::cboChartTime() const
{
    return ui->cboChartTime;
}

QComboBox *frmStockMain::cboChartFreq() const
{
    return ui->cboChartFreq;
}

QFrame *frmStockMain::FrameNews() const
{
    return ui->FrameNews;
}

QLabel *frmStockMain::lblStockNews() const
{
    return ui->lblStockNews;
}

QComboBox *frmStockMain::cboStockNews() const
{
    return ui->cboStockNews;
}

QFrame *frmStockMain::FrameResearch() const
{
    return ui->FrameResearch;
}

QLineEdit *frmStockMain::txtResearch() const
{
    return ui->txtResearch;
}

QComboBox *frmStockMain::cboResearchSource() const
{
    return ui->cboResearchSource;
}

QFrame *frmStockMain::FrameSymbolLookup() const
{
    return ui->FrameSymbolLookup;
}

QLineEdit *frmStockMain::txtSymbolLookup() const
{
    return ui->txtSymbolLookup;
}

QFrame *frmStockMain::FrameIPO() const
{
    return ui->FrameIPO;
}

QComboBox *frmStockMain::cboIPOList() const
{
    return ui->cboIPOList;
}

QFrame *frmStockMain::FrameScreener() const
{
    return ui->FrameScreener;
}

QComboBox *frmStockMain::cboScreener() const
{
    return ui->cboScreener;
}

QFrame *frmStockMain::FrameInfoButtons() const
{
    return ui->FrameInfoButtons;
}

LinkButton *frmStockMain::cmdLookup() const
{
    return ui->cmdLookup;
}

LinkButton *frmStockMain::cmdResearch() const
{
    return ui->cmdResearch;
}

LinkButton *frmStockMain::cmdIPO() const
{
    return ui->cmdIPO;
}

LinkButton *frmStockMain::cmdScreener() const
{
    return ui->cmdScreener;
}

ClickableLabel *frmStockMain::picIslandButton() const
{
    return ui->picIslandButton;
}

LinkButton *frmStockMain::cmdSubmit() const
{
    return ui->cmdSubmit;
}

ClickableLabel *frmStockMain::picBezelRight() const
{
    return ui->picBezelRight;
}

QFrame *frmStockMain::FrameBrowserButtons() const
{
    return ui->FrameBrowserButtons;
}

QToolButton *frmStockMain::cmdBack() const
{
    return ui->cmdBack;
}

QToolButton *frmStockMain::cmdForward() const
{
    return ui->cmdForward;
}

QToolButton *frmStockMain::cmdStop() const
{
    return ui->cmdStop;
}

QToolButton *frmStockMain::cmdRefresh() const
{
    return ui->cmdRefresh;
}

QLabel *frmStockMain::lblBusy() const
{
    return ui->lblBusy;
}

ClickableLabel *frmStockMain::picRightBorder() const
{
    return ui->picRightBorder;
}

ClickableLabel *frmStockMain::picControlBox() const
{
    return ui->picControlBox;
}

QWidget *frmStockMain::WebBrowser1Frame() const
{
    return ui->WebBrowser1Frame;
}

ClickableLabel *frmStockMain::imgBezelBottom() const
{
    return ui->imgBezelBottom;
}
