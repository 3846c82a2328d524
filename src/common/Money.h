#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <compare>

// An amount of money with four decimal places, held as a signed 64-bit count of
// ten-thousandths (1.5 is 15000 units).
//
// Every operation saturates: a result beyond the range is held as Money::max() or
// Money::min() (+-922337203685477.5807) instead of wrapping. The range is symmetric, so the
// lowest 64-bit count is never held and negation is always exact.
//
// Conversions that drop digits round halves to the even neighbour, on the decimal value:
// a double counts as the shortest decimal text that reads back as the same double, so
// 0.00005 is an exact half and becomes 0, and 0.00015 becomes 0.0002.
class Money
{
public:
    enum class Rounding
    {
        HalfEven,        // a half goes to the even neighbour: 0.125 -> 0.12, 0.135 -> 0.14
        HalfAwayFromZero // a half goes away from zero, as Format does: 0.125 -> 0.13
    };

    constexpr Money() = default;

    static constexpr Money max() { return Money(Largest); }
    static constexpr Money min() { return Money(-Largest); }

    // The amount of units ten-thousandths; the lowest 64-bit count becomes min().
    static constexpr Money fromUnits(qint64 units)
    {
        return Money(units < -Largest ? -Largest : units);
    }
    // The double rounded to four decimals; NaN is 0 and infinities saturate.
    static Money fromDouble(double value);
    // The number at the start of the text, read as Val reads it ("." decimal point, leading
    // blanks skipped, 0 when there is none), converted exactly from its decimal digits.
    static Money fromText(QStringView text);

    constexpr qint64 units() const { return m_units; }
    // The nearest double to the amount.
    double toDouble() const;
    // Plain decimal text: "-" when negative, no grouping, no trailing zeros, no exponent
    // ("1000", "-12.5", "0.0001", "0").
    QString toString() const;

    // Rounded to whole cents.
    Money roundedToCents(Rounding rounding = Rounding::HalfEven) const;
    // The amount times factor, rounded to four decimals with halves to even. The factor
    // counts as its shortest decimal text, so a whole number of shares multiplies exactly.
    Money times(double factor) const;

    friend Money operator+(Money a, Money b);
    friend Money operator-(Money a, Money b);
    friend constexpr Money operator-(Money a) { return Money(-a.m_units); }
    Money &operator+=(Money other) { return *this = *this + other; }
    Money &operator-=(Money other) { return *this = *this - other; }

    friend constexpr auto operator<=>(const Money &, const Money &) = default;
    friend constexpr bool operator==(const Money &, const Money &) = default;

private:
    static constexpr qint64 Largest = 0x7FFFFFFFFFFFFFFF;
    constexpr explicit Money(qint64 units) : m_units(units) {}

    qint64 m_units = 0;
};
