#pragma once

#include "grid/WindowControls.h"

#include <QPixmap>
#include <QWidget>

namespace Ui {
class frmStockMain;
}

// The main window: the quote grid, the ticker strip, the browser panel and the button bar.
// It has no title bar of its own; it draws its skin (the background picture) and carries its
// own control box. Every control of the form is reached through ui (include
// "ui_frmStockMain.h"). Building the window does not start anything: the start-up sequence
// is run separately once the window exists.
class frmStockMain : public QWidget
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

    // The controls that the grid's and the downloads' steps read and fill.
    PanelControls panelControls();

    Ui::frmStockMain *ui;

private:
    int m_skin = 0; // the image list's index of the skin shown, 0 for none
};
