#include "BrowserPanel.h"

#include "app/frmStockMain.h"
#include "ui_frmStockMain.h"
#include "window/LinkButton.h"

void BrowserPanel::SetButtons(frmStockMain &main)
{
    auto *ui = main.ui;
    ui->cmdHome->setToolTip(QStringLiteral("Go to your Home page"));
    ui->cmdCharts->setToolTip(QStringLiteral("View chart for selected stock"));
    ui->cmdNews->setToolTip(QStringLiteral("Read news about selected stock"));
    ui->cmdSubmit->setToolTip(QStringLiteral("Submit data and view results"));
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
