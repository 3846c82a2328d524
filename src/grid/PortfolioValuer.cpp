#include "PortfolioValuer.h"

#include "FlexGrid.h"
#include "common/Numbers.h"
#include "screen/Colors.h"

#include "settings/OptionsModel.h"
#include <QCheckBox>
#include <QLineEdit>

#include <cmath>
#include <limits>

namespace {

constexpr int kSharesColumn = 1;
constexpr int kLastPriceColumn = 4;
constexpr int kOpenColumn = 8;

} // namespace

PortfolioValuer::PortfolioValuer(const FlexGrid &gridQuotes, const OptionsView &options)
    : m_quotes(gridQuotes), m_options(options)
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

PortfolioFigures PortfolioValuer::CalcPortfolio()
{
    const OptionsView *options = &m_options;
    const FlexGrid &symbols = *options->gridSymbols;
    const FlexGrid &quotes = m_quotes;

    PortfolioFigures front{QStringLiteral("0"), QStringLiteral("0"), NoChangeColor};

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
        front.value = valueText;

    const QString gainText = Format(gain.toDouble(), "####0.00");
    settings.GainLoss.set(gainText);
    if (show)
        front.today = gainText;

    // The gain with its sign and colour; a loss already carries its "-".
    QString &today = front.today;
    const double shown = Val(today);
    if (shown > 0) {
        if (!today.startsWith(u'+'))
            today.prepend(u'+');
        front.todayColor = Colors::Rise;
    } else if (shown < 0) {
        if (!today.startsWith(u'-'))
            today.prepend(u'-');
        front.todayColor = Colors::Fall;
    }
    return front;
}
