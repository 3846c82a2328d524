#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

#include <string>

// Reading numbers out of texts and writing them with the program's number formats.
//
// The decimal point is "." and the thousands separator "," in both directions, whatever the
// user's locale: what Format writes into a box, Val reads back unchanged.

// The decimal number found at the start of a text, kept exactly as written: its value is
// digits x 10^exponent. ReadLeadingNumber is the one reader behind Val, IsNumeric and
// Money::fromText.
struct LeadingNumber
{
    bool found = false;    // a number was there (at least one digit)
    bool negative = false; // a "-" sign was read
    std::string digits;    // significant digits, no leading zeros; empty when the value is 0
    qint64 exponent = 0;   // power of ten applied to digits (clamped far beyond any use)
    qsizetype length = 0;  // characters of the text taken by the number, blanks included
};

// Reads the number at the start of text: leading blanks (space, tab, CR, LF) are skipped,
// then an optional "+" or "-", digits with at most one ".", and an optional exponent ("e" or
// "E", an optional sign, at least one digit). Reading stops at the first character that
// does not fit, a blank or a thousands separator included. Only ASCII digits count; "&H"
// and "&O" prefixes are not read (the value is 0).
LeadingNumber ReadLeadingNumber(QStringView text);

// The numeric value of a text: the number at its start as read by ReadLeadingNumber, 0 when
// there is none. "N/A" and "" give 0, "+1.20%" gives 1.2, "1,234" gives 1, "1 2" gives 1.
// The result is always finite: a number beyond the range of double gives the largest double
// of its sign, a number too small for it gives 0. Zero is never negative.
double Val(QStringView text);
inline double Val(const char *text)
{
    return Val(QString::fromLatin1(text));
}

// True when the whole text, apart from surrounding blanks, is one number that Val reads.
bool IsNumeric(QStringView text);

// Writes value with a number pattern made of these characters:
//   "0"  a digit that is always shown (a zero when the number has none there);
//   "#"  a digit that is shown only when it is significant;
//   "."  the decimal point; it is written whenever the pattern has one, even with no digit
//        after it ("###.##" writes 2 as "2.");
//   ","  anywhere in the part before the decimal point: digits grouped by threes with ",".
// The integer part always shows all of its digits, however few placeholders the pattern
// has. Other characters in the pattern are ignored.
// The value is first taken to 15 significant digits, then rounded to the pattern's number of
// decimal places with halves away from zero (2.5 -> 3, 1.005 -> 1.01, -0.125 -> -0.13).
// A negative value gets a leading "-" unless it rounds to zero. An empty pattern writes the
// plain decimal text of the value (at most 15 significant digits, no exponent).
// Infinities and NaN are written "inf", "-inf" and "nan".
QString Format(double value, QStringView pattern);
inline QString Format(double value, const char *pattern)
{
    return Format(value, QString::fromLatin1(pattern));
}

// Format applied to a text: when the text is a number (IsNumeric), its value is formatted;
// any other text ("N/A", "") is returned unchanged.
QString FormatIfNumeric(QStringView text, QStringView pattern);

// The month tag of a date: the locale's abbreviated month name followed by the four-digit
// year, for example "Jan2003". Empty for an invalid date. Without a locale: the user's.
QString MonthTag(const QDate &date);
QString MonthTag(const QDate &date, const QLocale &locale);

// The date in the locale's short date format. Empty for an invalid date.
QString ShortDate(const QDate &date);
QString ShortDate(const QDate &date, const QLocale &locale);

// The time on the 12-hour clock with hours and minutes and the locale's AM/PM text: a
// two-digit hour, ":", two-digit minutes, a space and the designator ("03:17 PM",
// "12:05 AM"). Empty for an invalid time.
QString MediumTime(const QTime &time);
QString MediumTime(const QTime &time, const QLocale &locale);
