#include "common/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// Exponents beyond this are far outside any double and any amount; clamping keeps the
// arithmetic on them free of overflow.
constexpr qint64 ExponentLimit = 1'000'000'000;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Steps i over the leading blanks and one sign; true when the sign is a minus.
bool skipBlanksAndSign(QStringView text, qsizetype &i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        return text[i++] == u'-';
    return false;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The rules a number pattern sets.
struct Pattern
{
    bool grouping = false; // "," before the decimal point
    bool hasPoint = false; // "." present
    int minInteger = 0;    // integer digits always shown
    int decimals = 0;      // decimal places the value is rounded to
    int minDecimals = 0;   // decimal places always shown
};

Pattern parsePattern(QStringView pattern)
{
    Pattern p;
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView integer = point < 0 ? pattern : pattern.left(point);
    p.hasPoint = point >= 0;
    p.grouping = integer.contains(u',');
    bool forced = false;
    for (QChar c : integer) {
        if (c == u'0')
            forced = true;
        if (forced && (c == u'0' || c == u'#'))
            ++p.minInteger;
    }
    if (p.hasPoint) {
        for (QChar c : pattern.mid(point + 1)) {
            if (c == u'0' || c == u'#')
                ++p.decimals;
            if (c == u'0')
                p.minDecimals = p.decimals;
        }
    }
    return p;
}

// A non-negative finite value as significant digits d1 d2 ... and a position: the value is
// 0.d1d2... x 10^position. Zero has no digits.
struct Digits
{
    std::string digits;
    int position = 0;
};

Digits significantDigits(double magnitude)
{
    Digits d;
    if (magnitude == 0.0)
        return d;
    // 15 significant digits: "d.dddddddddddddde+XX".
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string_view text(buffer, size_t(result.ptr - buffer));
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits.push_back(text[i]);
    }
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);
    d.position = exponent + 1;
    return d;
}

// Rounds to `decimals` places, halves away from zero (the digits are a magnitude).
void roundDigits(Digits &d, int decimals)
{
    const long keep = long(d.position) + decimals;
    if (keep >= long(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        d.position = 0;
        return;
    }
    const bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (!up) {
        if (d.digits.find_first_not_of('0') == std::string::npos) {
            d.digits.clear();
            d.position = 0;
        }
        return;
    }
    size_t i = d.digits.size();
    while (i > 0 && d.digits[i - 1] == '9') {
        d.digits[i - 1] = '0';
        --i;
    }
    if (i == 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.position;
    } else {
        ++d.digits[i - 1];
    }
}

} // namespace

LeadingNumber ReadLeadingNumber(QStringView text)
{
    LeadingNumber n;
    qsizetype i = 0;
    const qsizetype size = text.size();
    const bool negative = skipBlanksAndSign(text, i);
    std::string all;
    qint64 fraction = 0;
    while (i < size && isDigit(text[i]))
        all.push_back(char(text[i++].unicode()));
    if (i < size && text[i] == u'.') {
        qsizetype j = i + 1;
        while (j < size && isDigit(text[j])) {
            all.push_back(char(text[j++].unicode()));
            ++fraction;
        }
        if (!all.empty())
            i = j;
    }
    if (all.empty())
        return n;

    qint64 exponent = 0;
    if (i < size && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        bool negativeExponent = false;
        if (j < size && (text[j] == u'+' || text[j] == u'-')) {
            negativeExponent = text[j] == u'-';
            ++j;
        }
        if (j < size && isDigit(text[j])) {
            while (j < size && isDigit(text[j])) {
                exponent = std::min(exponent * 10 + (text[j].unicode() - u'0'), ExponentLimit);
                ++j;
            }
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }

    n.found = true;
    n.length = i;
    const size_t first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return n; // zero, and never a negative one
    const size_t last = all.find_last_not_of('0');
    n.negative = negative;
    n.digits = all.substr(first, last - first + 1);
    n.exponent = exponent - fraction + qint64(all.size() - 1 - last);
    return n;
}

namespace {

// Val of the common short number: blanks, a sign, at most 15 significant digits with an
// optional fraction of at most 22 places, and no exponent. The digits are exact as a double
// and so is the power of ten, so one division rounds correctly, as the general reading does.
// Anything else answers nothing and takes the general reading.
std::optional<double> shortDecimal(QStringView text)
{
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const qsizetype size = text.size();
    qsizetype i = 0;
    const bool negative = skipBlanksAndSign(text, i);
    quint64 mantissa = 0;
    int significant = 0;
    int fraction = 0;
    bool any = false;
    auto take = [&](char16_t d) {
        any = true;
        if (mantissa != 0 || d != u'0')
            ++significant;
        mantissa = mantissa * 10 + (d - u'0');
    };
    while (i < size && isDigit(text[i]) && significant <= 15)
        take(text[i++].unicode());
    if (i < size && text[i] == u'.') {
        ++i;
        while (i < size && isDigit(text[i]) && significant <= 15 && fraction <= 22) {
            take(text[i++].unicode());
            ++fraction;
        }
    }
    if (significant > 15 || fraction > 22 || (i < size && isDigit(text[i])))
        return std::nullopt;
    if (i < size && (text[i] == u'e' || text[i] == u'E'))
        return std::nullopt;
    if (!any || mantissa == 0)
        return 0.0;
    const double value = double(mantissa) / powers[fraction];
    return negative ? -value : value;
}

} // namespace

double Val(QStringView text)
{
    if (const std::optional<double> quick = shortDecimal(text))
        return *quick;
    const LeadingNumber n = ReadLeadingNumber(text);
    if (n.digits.empty())
        return 0.0;
    constexpr double largest = std::numeric_limits<double>::max();
    // The value lies in [10^(magnitude-1), 10^magnitude).
    const qint64 magnitude = qint64(n.digits.size()) + n.exponent;
    double value = 0.0;
    if (magnitude > 400) {
        value = largest;
    } else if (magnitude >= -400) {
        const std::string decimal = n.digits + 'e' + std::to_string(n.exponent);
        const auto result = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
        if (result.ec == std::errc::result_out_of_range)
            value = magnitude > 0 ? largest : 0.0;
        else if (std::isinf(value))
            value = largest;
    }
    if (value == 0.0)
        return 0.0;
    return n.negative ? -value : value;
}

bool IsNumeric(QStringView text)
{
    const LeadingNumber n = ReadLeadingNumber(text);
    if (!n.found)
        return false;
    for (qsizetype i = n.length; i < text.size(); ++i) {
        if (!isBlank(text[i]))
            return false;
    }
    return true;
}

QString Format(double value, QStringView pattern)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");

    Digits d = significantDigits(std::fabs(value));
    Pattern p;
    if (pattern.isEmpty()) {
        const size_t last = d.digits.find_last_not_of('0');
        d.digits.resize(last == std::string::npos ? 0 : last + 1);
        p.minInteger = 1;
        p.decimals = std::max(0, int(d.digits.size()) - d.position);
        p.hasPoint = p.decimals > 0;
    } else {
        p = parsePattern(pattern);
        roundDigits(d, p.decimals);
    }

    const auto digitAt = [&d](long index) {
        return index >= 0 && index < long(d.digits.size()) ? d.digits[size_t(index)] : '0';
    };
    std::string integer;
    for (long k = 0; k < d.position; ++k)
        integer.push_back(digitAt(k));
    if (integer.size() < size_t(p.minInteger))
        integer.insert(0, size_t(p.minInteger) - integer.size(), '0');
    std::string fraction;
    for (int k = 0; k < p.decimals; ++k)
        fraction.push_back(digitAt(long(d.position) + k));
    while (fraction.size() > size_t(p.minDecimals) && fraction.back() == '0')
        fraction.pop_back();

    std::string out;
    if (value < 0 && !d.digits.empty())
        out.push_back('-');
    for (size_t k = 0; k < integer.size(); ++k) {
        if (p.grouping && k > 0 && (integer.size() - k) % 3 == 0)
            out.push_back(',');
        out.push_back(integer[k]);
    }
    if (p.hasPoint) {
        out.push_back('.');
        out += fraction;
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString FormatIfNumeric(QStringView text, QStringView pattern)
{
    if (!IsNumeric(text))
        return text.toString();
    return Format(Val(text), pattern);
}

QString MonthTag(const QDate &date)
{
    return MonthTag(date, QLocale::system());
}

QString MonthTag(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return QString();
    return locale.monthName(date.month(), QLocale::ShortFormat) +
           QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString ShortDate(const QDate &date)
{
    return ShortDate(date, QLocale::system());
}

QString ShortDate(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return QString();
    return locale.toString(date, QLocale::ShortFormat);
}

QString MediumTime(const QTime &time)
{
    return MediumTime(time, QLocale::system());
}

QString MediumTime(const QTime &time, const QLocale &locale)
{
    if (!time.isValid())
        return QString();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QString designator = time.hour() < 12 ? locale.amText() : locale.pmText();
    QString text = QStringLiteral("%1:%2")
                       .arg(hour, 2, 10, QLatin1Char('0'))
                       .arg(time.minute(), 2, 10, QLatin1Char('0'));
    if (!designator.isEmpty())
        text += u' ' + designator;
    return text;
}
