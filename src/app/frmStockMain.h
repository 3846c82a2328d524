#pragma once

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
    explicit frmStockMain(QWidget *parent = nullptr);
    ~frmStockMain() override;

    // The window's background picture (its skin), drawn at the top left, stretched to the
    // window's width; the area below it is dark grey.
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

    Ui::frmStockMain *ui;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
