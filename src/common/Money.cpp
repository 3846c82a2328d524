#include "common/Money.h"

#include "common/Numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

__extension__ typedef unsigned __int128 Wide;
__extension__ typedef __int128 SignedWide;

constexpr qint64 Largest = 0x7FFFFFFFFFFFFFFF;
constexpr int UnitDigits = 4; // decimal places of an amount

qint64 clampUnits(SignedWide value)
{
    if (value > Largest)
        return Largest;
    if (value < -SignedWide(Largest))
        return -Largest;
    return qint64(value);
}

qint64 withSign(bool negative, Wide magnitude)
{
    if (magnitude > Wide(Largest))
        magnitude = Largest;
    return negative ? -qint64(magnitude) : qint64(magnitude);
}

// Rounds quotient + remainder/divisor to a whole number, halves to even.
Wide roundHalfEven(Wide quotient, Wide remainder, Wide divisor)
{
    const Wide twice = remainder * 2;
    if (twice > divisor || (twice == divisor && (quotient & 1) != 0))
        ++quotient;
    return quotient;
}

// digits x 10^exponent (digits without leading or trailing zeros) in units, halves to even.
qint64 unitsFromDecimal(bool negative, const std::string &digits, qint64 exponent)
{
    if (digits.empty())
        return 0;
    const qint64 shift = exponent + UnitDigits;
    const qint64 wholeDigits = qint64(digits.size()) + shift; // digits of the unit count
    if (wholeDigits > 19)
        return negative ? -Largest : Largest;
    if (wholeDigits < 0)
        return 0; // below a tenth of a unit

    Wide whole = 0;
    for (qint64 k = 0; k < wholeDigits; ++k) {
        const char c = k < qint64(digits.size()) ? digits[size_t(k)] : '0';
        whole = whole * 10 + Wide(c - '0');
    }
    if (wholeDigits < qint64(digits.size())) {
        // The dropped digits end in a non-zero digit, so they are exactly a half only when
        // they are the single digit 5.
        const std::string_view rest = std::string_view(digits).substr(size_t(wholeDigits));
        const bool half = rest == "5";
        const bool aboveHalf = rest[0] > '5' || (rest[0] == '5' && rest.size() > 1);
        if (aboveHalf || (half && (whole & 1) != 0))
            ++whole;
    }
    return withSign(negative, whole);
}

// A finite non-zero double as its shortest decimal: digits x 10^exponent.
void shortestDecimal(double magnitude, std::string &digits, qint64 &exponent)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    const std::string_view text(buffer, size_t(result.ptr - buffer));
    const size_t e = text.find('e');
    digits.clear();
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            digits.push_back(text[i]);
    }
    int power = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    power);
    exponent = qint64(power) - qint64(digits.size() - 1);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
}

} // namespace

Money Money::fromDouble(double value)
{
    if (std::isnan(value) || value == 0.0)
        return Money();
    if (std::isinf(value))
        return value < 0 ? min() : max();
    std::string digits;
    qint64 exponent = 0;
    shortestDecimal(std::fabs(value), digits, exponent);
    return Money(unitsFromDecimal(value < 0, digits, exponent));
}

Money Money::fromText(QStringView text)
{
    const LeadingNumber n = ReadLeadingNumber(text);
    return Money(unitsFromDecimal(n.negative, n.digits, n.exponent));
}

double Money::toDouble() const
{
    constexpr qint64 exactInDouble = qint64(1) << 53;
    if (m_units >= -exactInDouble && m_units <= exactInDouble)
        return double(m_units) / 10000.0;
    const std::string text = toString().toStdString();
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

QString Money::toString() const
{
    const quint64 magnitude = m_units < 0 ? quint64(-m_units) : quint64(m_units);
    QString text = QString::number(magnitude / 10000);
    quint64 fraction = magnitude % 10000;
    if (fraction != 0) {
        int places = UnitDigits;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        text += u'.' + QStringLiteral("%1").arg(fraction, places, 10, QLatin1Char('0'));
    }
    if (m_units < 0)
        text.prepend(u'-');
    return text;
}

Money Money::roundedToCents(Rounding rounding) const
{
    const bool negative = m_units < 0;
    const Wide magnitude = negative ? Wide(-m_units) : Wide(m_units);
    Wide cents = magnitude / 100;
    const Wide rest = magnitude % 100;
    if (rounding == Rounding::HalfAwayFromZero)
        cents += rest >= 50 ? 1 : 0;
    else
        cents = roundHalfEven(cents, rest, 100);
    return Money(withSign(negative, cents * 100));
}

Money Money::times(double factor) const
{
    if (std::isnan(factor) || factor == 0.0 || m_units == 0)
        return Money();
    const bool negative = (m_units < 0) != (factor < 0);
    if (std::isinf(factor))
        return negative ? min() : max();

    std::string digits;
    qint64 exponent = 0;
    shortestDecimal(std::fabs(factor), digits, exponent);
    Wide mantissa = 0;
    for (char c : digits)
        mantissa = mantissa * 10 + Wide(c - '0');
    // At most 19 digits times at most 17 digits: the product fits in 128 bits.
    Wide product = Wide(m_units < 0 ? -m_units : m_units) * mantissa;

    if (exponent >= 0) {
        for (qint64 k = 0; k < exponent && product <= Wide(Largest); ++k)
            product *= 10;
        return Money(withSign(negative, product));
    }
    // The product is below 10^36, so dividing by 10^37 or more leaves less than a half.
    if (exponent <= -37)
        return Money();
    Wide divisor = 1;
    for (qint64 k = 0; k < -exponent; ++k)
        divisor *= 10;
    return Money(withSign(negative, roundHalfEven(product / divisor, product % divisor, divisor)));
}

Money operator+(Money a, Money b)
{
    return Money::fromUnits(clampUnits(SignedWide(a.m_units) + b.m_units));
}

Money operator-(Money a, Money b)
{
    return Money::fromUnits(clampUnits(SignedWide(a.m_units) - b.m_units));
}
