#pragma once

#include <QString>
#include <QTime>

#include <optional>

// One instrument's quote as a live source reported it. A value the source did not give
// stays empty and is answered as N/A.
struct LiveQuote
{
    QString symbol; // as Vantora asked for it, upper case
    QString name;
    QString exchange;
    bool index = false; // an index level rather than a share price
    std::optional<double> last;
    std::optional<double> change;
    std::optional<double> changePercent; // in percent: 1.51 for +1.51%
    std::optional<double> previousClose;
    std::optional<double> open;
    std::optional<double> low;
    std::optional<double> high;
    std::optional<double> yearLow;
    std::optional<double> yearHigh;
    std::optional<double> eps;
    std::optional<double> peRatio;
    std::optional<double> bid;
    std::optional<double> ask;
    std::optional<double> dividend;      // yearly, per share
    std::optional<double> dividendYield; // in percent
    std::optional<qint64> volume;
    std::optional<qint64> averageVolume;
    std::optional<QTime> tradeTime; // in the exchange's time zone

    // Change and percentage from last and previous close where the source gave neither.
    void deriveChange();
};
