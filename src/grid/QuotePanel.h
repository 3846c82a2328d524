#pragma once

#include <QString>

class FlexGrid;
class QWidget;

// The portfolio figures of the main window's front panel, as they are shown: the value of
// the holdings, today's gain or loss (with its sign) and that figure's colour (BGR).
struct PortfolioFigures
{
    QString value;
    QString today;
    qint32 todayColor = 0;
};

// The main window's front panel as the quote steps see it: the quote grid they fill, the
// figures and notices they show, and the window their message boxes belong to. The main
// window implements it, so nothing at this level knows the form.
class QuotePanel
{
public:
    // The parent of the boxes the steps show.
    virtual QWidget *dialogParent() = 0;
    // The quote grid, one row per symbol of the loaded portfolio.
    virtual FlexGrid *gridQuotes() const = 0;

    // The notice beside the lamp while quotes are delayed (empty in real-time mode).
    virtual void setDelayNotice(const QString &text) = 0;
    // The time of the last market-index download.
    virtual void setUpdateTime(const QString &text) = 0;

    virtual void showPortfolio(const PortfolioFigures &figures) = 0;
    virtual PortfolioFigures portfolioShown() const = 0;
    // The captions of the two figures, as the panel shows them ("Portfolio Value:").
    virtual QString portfolioValueCaption() const = 0;
    virtual QString portfolioTodayCaption() const = 0;

protected:
    ~QuotePanel() = default;
};
