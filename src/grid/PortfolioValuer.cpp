#include "PortfolioValuer.h"

#include "FlexGrid.h"
#include "common/Numbers.h"
#include "screen/Colors.h"

#include <QPalette>

#include "WindowControls.h"
#include "settings/OptionsModel.h"
#include <QCheckBox>
#include <QLineEdit>
#include <cmath>
#include <limits>

namespace {

constexpr int kSharesColumn = 1;
constexpr int kLastPriceColumn = 4;
constexpr int kOpenColumn = 8;

void setTextColor(QWidget *box, qint32 bgr)
{
    QPalette palette = box->palette();
    const QColor color = Colors::fromBgr(bgr);
    palette.setColor(QPalette::Text, color);
    box->setPalette(palette);
}

} // namespace

PortfolioValuer::PortfolioValuer(const PanelControls &form, const OptionsView &options)
    : m_form(form), m_options(options)
{
}

qint32 PortfolioValuer::shareCount(const QString &text)
{
    // Val's result is always finite.
    const double value = Val(text);
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max();
    if (value <= lowest)
        return std::numeric_limits<qint32>::min();
    if (value >= highest)
        return std::numeric_limits<qint32>::max();
    // The default rounding mode of the floating-point unit rounds halves to even.
    return qint32(std::nearbyint(value));
}

void PortfolioValuer::CalcPortfolio()
{
    const OptionsView *options = &m_options;
    const PanelControls *front = &m_form;
    const FlexGrid &symbols = *options->gridSymbols;
    const FlexGrid &quotes = *front->gridQuotes;

    front->txtPortfolioToday->setText(QStringLiteral("0"));
    front->txtPortfolioValue->setText(QStringLiteral("0"));

    // The opening value (the open price, or the last when there is no open yet) and the
    // current value (the last price).
    Money opening;
    Money current;
    for (int r = 1; r < symbols.rows(); ++r) {
        const QString sharesText = symbols.textMatrix(r, kSharesColumn);
        if (Val(sharesText) == 0)
            continue;
        const qint32 shares = shareCount(sharesText);
        const QString last = quotes.textMatrix(r, kLastPriceColumn);
        const QString open = quotes.textMatrix(r, kOpenColumn);
        const QString openingPrice = open == QLatin1String("N/A") ? last : open;
        opening += Money::fromText(openingPrice).times(shares);
        current += Money::fromText(last).times(shares);
    }
    // Both amounts as their boxes show them, in whole cents.
    opening = opening.roundedToCents(Money::Rounding::HalfAwayFromZero);
    const Money shownValue = current.roundedToCents(Money::Rounding::HalfAwayFromZero);
    const Money gain = shownValue - opening;
    m_opening = opening;
    m_current = current;
    m_gain = gain;

    OptionsModel &settings = *options->model;
    const bool show = settings.ShowStockValue.value();
    const QString valueText = Format(shownValue.toDouble(), "#,###,##0.00");
    settings.PortfolioValue.set(valueText);
    if (show)
        front->txtPortfolioValue->setText(valueText);

    const QString gainText = Format(gain.toDouble(), "####0.00");
    settings.GainLoss.set(gainText);
    if (show)
        front->txtPortfolioToday->setText(gainText);

    // The gain with its sign and colour; a loss already carries its "-".
    QLineEdit *today = front->txtPortfolioToday;
    setTextColor(today, NoChangeColor);
    const double shown = Val(today->text());
    if (shown > 0) {
        if (!today->text().startsWith(u'+'))
            today->setText(u'+' + today->text());
        setTextColor(today, Colors::Rise);
    } else if (shown < 0) {
        if (!today->text().startsWith(u'-'))
            today->setText(u'-' + today->text());
        setTextColor(today, Colors::Fall);
    }
}
