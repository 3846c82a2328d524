#pragma once

#include "grid/QuotePanel.h"

#include <QPixmap>
#include <QWidget>

class ClickableLabel;
class FlexGrid;
class LinkButton;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

namespace Ui {
class frmStockMain;
}

// The main window: the quote grid, the ticker strip, the browser panel and the button bar.
// It has no title bar of its own; it draws its skin (the background picture) and carries its
// own control box. The controls that the program's other parts place, fill or connect are
// reached through the accessors named after them. Building the window does not start
// anything: the start-up sequence is run separately once the window exists.
class frmStockMain : public QWidget, public QuotePanel
{
    Q_OBJECT
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)

public:
    // The window's height in browser mode with the browser tray closed, in twips.
    static constexpr int CollapsedHeight = 2095;

    explicit frmStockMain(QWidget *parent = nullptr);
    ~frmStockMain() override;

    // The window's background picture (its skin): the texture of the window's background
    // brush, drawn from the top left. The picture is null while the background is a plain
    // colour.
    QPixmap picture() const;
    void setPicture(const QPixmap &picture);

    // Shows the picture of the image list at `index` as the skin, drawn for the window's
    // zoom (and drawn again when the zoom changes).
    void showSkin(int index);

    // The window's zoom in percent (100: the layout as designed). Setting it scales the
    // layout, the fonts and the pictures; the grid's columns, the ticker and the fitted
    // captions are the caller's (StockMain::setZoom).
    void setZoom(int percent);
    int zoom() const;

    // The status lamp: a box filled with one colour, and the colour it shows in its middle
    // (invalid while it cannot be drawn).
    void paintLamp(const QColor &color);
    QColor lampColor() const;

    // The parts that move the window when dragged with the mouse: the window itself and
    // the captions, boxes and bezels of its panels.
    QList<QWidget *> dragSurfaces();

    // The countdown to the next update beside the Update button ("Disabled" without one).
    void setNextUpdate(const QString &text);

    // The front panel as the quote steps see it.
    QWidget *dialogParent() override { return this; }
    FlexGrid *gridQuotes() const override;
    void setDelayNotice(const QString &text) override;
    void setUpdateTime(const QString &text) override;
    void showPortfolio(const PortfolioFigures &figures) override;
    PortfolioFigures portfolioShown() const override;
    QString portfolioValueCaption() const override;
    QString portfolioTodayCaption() const override;

    // The controls reached from outside the form.
    QWidget *Scroller1Frame() const;
    ClickableLabel *picPanel() const;
    ClickableLabel *picButtonFrame() const;
    LinkButton *cmdHome() const;
    LinkButton *cmdCharts() const;
    LinkButton *cmdNews() const;
    LinkButton *cmdInquiry() const;
    LinkButton *cmdBTV() const;
    LinkButton *cmdRadio() const;
    LinkButton *cmdPrintTicker() const;
    LinkButton *cmdOptions() const;
    LinkButton *cmdUpdate() const;
    LinkButton *cmdExit() const;
    QLabel *lblDelayNotice() const;
    ClickableLabel *picTickerSize() const;
    ClickableLabel *picCalc() const;
    ClickableLabel *picMaxWide() const;
    ClickableLabel *picMoveUp() const;
    ClickableLabel *picMoveDown() const;
    QFrame *FrameCharts() const;
    QComboBox *cboChartTime() const;
    QComboBox *cboChartFreq() const;
    QFrame *FrameNews() const;
    QLabel *lblStockNews() const;
    QComboBox *cboStockNews() const;
    QFrame *FrameResearch() const;
    QLineEdit *txtResearch() const;
    QComboBox *cboResearchSource() const;
    QFrame *FrameSymbolLookup() const;
    QLineEdit *txtSymbolLookup() const;
    QFrame *FrameIPO() const;
    QComboBox *cboIPOList() const;
    QFrame *FrameScreener() const;
    QComboBox *cboScreener() const;
    QFrame *FrameInfoButtons() const;
    LinkButton *cmdLookup() const;
    LinkButton *cmdResearch() const;
    LinkButton *cmdIPO() const;
    LinkButton *cmdScreener() const;
    ClickableLabel *picIslandButton() const;
    LinkButton *cmdSubmit() const;
    ClickableLabel *picBezelRight() const;
    QFrame *FrameBrowserButtons() const;
    QToolButton *cmdBack() const;
    QToolButton *cmdForward() const;
    QToolButton *cmdStop() const;
    QToolButton *cmdRefresh() const;
    QLabel *lblBusy() const;
    ClickableLabel *picRightBorder() const;
    ClickableLabel *picControlBox() const;
    QWidget *WebBrowser1Frame() const;
    ClickableLabel *imgBezelBottom() const;

private:
    Ui::frmStockMain *ui;

private:
    int m_skin = 0; // the image list's index of the skin shown, 0 for none
};
