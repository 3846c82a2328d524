#include "common/Numbers.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void val_data();
    void val();
    void valLongAndExtremeNumbers_data();
    void valLongAndExtremeNumbers();
    void valNeverNegativeZero();
    void valIgnoresLocale();
    void isNumeric_data();
    void isNumeric();
    void format_data();
    void format();
    void formatNonFinite();
    void formatHugeValues();
    void formatIfNumeric_data();
    void formatIfNumeric();
    void monthTag_data();
    void monthTag();
    void shortDate();
    void mediumTime_data();
    void mediumTime();
    void mediumTimeUsesLocaleDesignators();
};

void TestNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("N/A") << "N/A" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("integer") << "42" << 42.0;
    QTest::newRow("price") << "25.33" << 25.33;
    QTest::newRow("percent") << "+1.20%" << 1.2;
    QTest::newRow("negative percent") << "-0.75%" << -0.75;
    QTest::newRow("leading blanks") << "  -3.5abc" << -3.5;
    QTest::newRow("leading tab and newline") << "\t\r\n 7" << 7.0;
    QTest::newRow("stops at comma") << "1,234" << 1.0;
    QTest::newRow("stops at inner blank") << "1 2" << 1.0;
    QTest::newRow("sign then blank") << "- 5" << 0.0;
    QTest::newRow("no leading digit") << ".5" << 0.5;
    QTest::newRow("negative no leading digit") << "-.25" << -0.25;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("plus sign") << "+8" << 8.0;
    QTest::newRow("double sign") << "--8" << 0.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent upper case with sign") << "2.5E+2" << 250.0;
    QTest::newRow("negative exponent") << "15e-1" << 1.5;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "3e-x" << 3.0;
    QTest::newRow("exponent stops at point") << "1e3.5" << 1000.0;
    QTest::newRow("D is not an exponent") << "1d3" << 1.0;
    QTest::newRow("hex prefix not read") << "&H10" << 0.0;
    QTest::newRow("octal prefix not read") << "&O17" << 0.0;
    QTest::newRow("time of trade") << "4:00pm" << 4.0;
    QTest::newRow("leading zeros") << "007.50" << 7.5;
    QTest::newRow("zero with exponent") << "0e999999" << 0.0;
    QTest::newRow("non-ASCII digits") << QStringLiteral("\u0661\u0662") << 0.0;
    QTest::newRow("full-width digits") << QStringLiteral("\uFF11") << 0.0;
    QTest::newRow("blank after sign text") << "N/A 5" << 0.0;
    QTest::newRow("decimal comma") << "3,75" << 3.0;
}

void TestNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Val(text), expected);
}

void TestNumbers::valLongAndExtremeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    constexpr double largest = std::numeric_limits<double>::max();
    QTest::newRow("30 digits") << "123456789012345678901234567890" << 1.2345678901234568e29;
    QTest::newRow("1e300 written out") << (u'1' + QString(300, u'0')) << 1e300;
    QTest::newRow("beyond double") << (u'1' + QString(400, u'0')) << largest;
    QTest::newRow("100000 nines") << QString(100000, u'9') << largest;
    QTest::newRow("negative beyond double") << "-1e999" << -largest;
    QTest::newRow("huge exponent digits") << "1e99999999999999999999999" << largest;
    QTest::newRow("tiny") << "1e-999" << 0.0;
    QTest::newRow("long fraction underflow") << ("0." + QString(1000, u'0') + u'1') << 0.0;
    QTest::newRow("long fraction") << ("0.1" + QString(5000, u'0')) << 0.1;
    QTest::newRow("digits cancel exponent") << (u'1' + QString(500, u'0') + "e-500") << 1.0;
}

void TestNumbers::valLongAndExtremeNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = Val(text);
    QVERIFY(std::isfinite(value));
    QCOMPARE(value, expected);
}

void TestNumbers::valNeverNegativeZero()
{
    for (const char *text : {"-0", "-0.000", "-1e-999", "-.0e5"}) {
        const double value = Val(QString::fromLatin1(text));
        QCOMPARE(value, 0.0);
        QVERIFY2(!std::signbit(value), text);
    }
}

void TestNumbers::valIgnoresLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const double value = Val(u"1.5");
    QLocale::setDefault(previous);
    QCOMPARE(value, 1.5);
}

void TestNumbers::isNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("integer") << "1234567" << true;
    QTest::newRow("surrounding blanks") << " 12.5 " << true;
    QTest::newRow("exponent") << "1e3" << true;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("N/A") << "N/A" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("grouped") << "1,234" << false;
    QTest::newRow("trailing text") << "12abc" << false;
    QTest::newRow("percent") << "1.2%" << false;
    QTest::newRow("sign alone") << "-" << false;
}

void TestNumbers::isNumeric()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(IsNumeric(text), expected);
}

void TestNumbers::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    // Volume: grouping, no forced digit.
    QTest::newRow("volume zero") << 0.0 << "###,###,###"
                                 << "";
    QTest::newRow("volume small") << 750.0 << "###,###,###"
                                  << "750";
    QTest::newRow("volume four digits") << 1234.0 << "###,###,###"
                                        << "1,234";
    QTest::newRow("volume millions") << 12345678.0 << "###,###,###"
                                     << "12,345,678";
    QTest::newRow("volume beyond placeholders") << 1234567890123.0 << "###,###,###"
                                                << "1,234,567,890,123";
    QTest::newRow("volume fraction rounds") << 999.5 << "###,###,###"
                                            << "1,000";

    // Value and gain.
    QTest::newRow("value") << 1234567.891 << "#,###,##0.00"
                           << "1,234,567.89";
    QTest::newRow("value below one") << 0.5 << "#,###,##0.00"
                                     << "0.50";
    QTest::newRow("value zero") << 0.0 << "#,###,##0.00"
                                << "0.00";
    QTest::newRow("value negative grouped") << -1234.5 << "#,###,##0.00"
                                            << "-1,234.50";
    QTest::newRow("gain negative") << -12.5 << "####0.00"
                                   << "-12.50";
    QTest::newRow("gain no grouping") << 1234567.89 << "####0.00"
                                      << "1234567.89";
    QTest::newRow("gain rounds to zero") << -0.004 << "####0.00"
                                         << "0.00";
    QTest::newRow("gain half rounds away to one cent") << -0.005 << "####0.00"
                                                       << "-0.01";

    // Countdown in minutes.
    QTest::newRow("minutes whole") << 120.0 / 60 << "###.##"
                                   << "2.";
    QTest::newRow("minutes fraction") << 299.0 / 60 << "###.##"
                                      << "4.98";
    QTest::newRow("minutes one decimal") << 90.0 / 60 << "###.##"
                                         << "1.5";
    QTest::newRow("minutes below one") << 0.5 << "###.##"
                                       << ".5";
    QTest::newRow("minutes zero") << 0.0 << "###.##"
                                  << ".";

    // Alert prices, fees, cash, shares.
    QTest::newRow("alert zero") << 0.0 << "##0.00"
                                << "0.00";
    QTest::newRow("alert price") << 25.5 << "##0.00"
                                 << "25.50";
    QTest::newRow("alert wide") << 12345.678 << "##0.00"
                                << "12345.68";
    QTest::newRow("fee") << 9.95 << "###0.00"
                         << "9.95";
    QTest::newRow("cash") << 10000.0 << "######0.00"
                          << "10000.00";
    QTest::newRow("shares") << 100.0 << "######0"
                            << "100";
    QTest::newRow("shares zero") << 0.0 << "######0"
                                 << "0";
    QTest::newRow("shares negative rounds to zero") << -0.4 << "######0"
                                                    << "0";
    QTest::newRow("shares grouped nothing") << -0.4 << "###,###,###"
                                            << "";

    // Halves go away from zero on the decimal value.
    QTest::newRow("half up") << 2.5 << "######0"
                             << "3";
    QTest::newRow("half up even") << 3.5 << "######0"
                                  << "4";
    QTest::newRow("negative half") << -2.5 << "######0"
                                   << "-3";
    QTest::newRow("exact binary half") << 0.125 << "##0.00"
                                       << "0.13";
    QTest::newRow("negative exact binary half") << -0.125 << "##0.00"
                                                << "-0.13";
    QTest::newRow("1.005 is a half") << 1.005 << "##0.00"
                                     << "1.01";
    QTest::newRow("2.675 is a half") << 2.675 << "##0.00"
                                     << "2.68";
    QTest::newRow("error below half at 15 digits") << 1.0049999999999997 << "##0.00"
                                                   << "1.01";
    QTest::newRow("below half") << 1.0049 << "##0.00"
                                << "1.00";
    QTest::newRow("carry into new digit") << 999.995 << "#,###,##0.00"
                                          << "1,000.00";
    QTest::newRow("carry from below one") << 0.995 << "###.##"
                                          << "1.";
    QTest::newRow("tiny rounds to zero") << 1e-20 << "##0.00"
                                         << "0.00";
    QTest::newRow("tiny half") << 0.005 << "###.##"
                               << ".01";
    QTest::newRow("sum error hidden") << 0.1 + 0.2 << "###.##"
                                      << ".3";

    // Patterns beyond the program's own.
    QTest::newRow("forced integer digits") << 12.0 << "0000"
                                           << "0012";
    QTest::newRow("forced and grouped") << 12.0 << "0,000"
                                        << "0,012";
    QTest::newRow("optional decimal after forced") << 1.5 << "0.0#"
                                                   << "1.5";
    QTest::newRow("forced decimals kept") << 1.0 << "0.0#"
                                          << "1.0";
    QTest::newRow("empty pattern") << 1234.5 << ""
                                   << "1234.5";
    QTest::newRow("empty pattern zero") << 0.0 << ""
                                        << "0";
    QTest::newRow("empty pattern fraction") << -0.25 << ""
                                            << "-0.25";
    QTest::newRow("empty pattern fifteen digits") << 0.1 + 0.2 << ""
                                                  << "0.3";
}

void TestNumbers::format()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(Format(value, pattern), expected);
}

void TestNumbers::formatNonFinite()
{
    QCOMPARE(Format(std::numeric_limits<double>::infinity(), u"##0.00"), QStringLiteral("inf"));
    QCOMPARE(Format(-std::numeric_limits<double>::infinity(), u"##0.00"), QStringLiteral("-inf"));
    QCOMPARE(Format(std::numeric_limits<double>::quiet_NaN(), u"##0.00"), QStringLiteral("nan"));
}

void TestNumbers::formatHugeValues()
{
    // Beyond 15 significant digits the digits are zeros; nothing overflows.
    const QString largest = Format(std::numeric_limits<double>::max(), u"#,###,##0.00");
    QVERIFY(largest.startsWith(QStringLiteral("179,769,313,486,232,000,")));
    QVERIFY(largest.endsWith(QStringLiteral(",000.00")));
    QCOMPARE(largest.count(u','), 102);
    QCOMPARE(largest.size(), 309 + 102 + 3);

    QCOMPARE(Format(-1e20, u"######0"), QStringLiteral("-100000000000000000000"));
    QCOMPARE(Format(123456789012345678.0, u"######0"), QStringLiteral("123456789012346000"));
    QCOMPARE(Format(std::numeric_limits<double>::denorm_min(), u"##0.00"), QStringLiteral("0.00"));
}

void TestNumbers::formatIfNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("volume") << "1234567"
                            << "1,234,567";
    QTest::newRow("small volume") << "950"
                                  << "950";
    QTest::newRow("zero volume") << "0"
                                 << "";
    QTest::newRow("N/A stays") << "N/A"
                               << "N/A";
    QTest::newRow("empty stays") << ""
                                 << "";
    QTest::newRow("already grouped stays") << "1,234,567"
                                           << "1,234,567";
    QTest::newRow("text with number stays") << "12 shares"
                                            << "12 shares";
}

void TestNumbers::formatIfNumeric()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FormatIfNumeric(text, u"###,###,###"), expected);
}

void TestNumbers::monthTag_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("January") << QDate(2003, 1, 5) << "Jan2003";
    QTest::newRow("August last day") << QDate(2002, 8, 31) << "Aug2002";
    QTest::newRow("December") << QDate(2024, 12, 1) << "Dec2024";
    QTest::newRow("year padded") << QDate(987, 5, 1) << "May0987";
    QTest::newRow("invalid") << QDate() << "";
}

void TestNumbers::monthTag()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(MonthTag(date, QLocale(QLocale::English, QLocale::UnitedStates)), expected);
}

void TestNumbers::shortDate()
{
    const QDate date(2003, 1, 5);
    QCOMPARE(ShortDate(date, QLocale(QLocale::English, QLocale::UnitedStates)),
             QStringLiteral("1/5/03"));
    QCOMPARE(ShortDate(date, QLocale(QLocale::German, QLocale::Germany)),
             QStringLiteral("05.01.03"));
    QCOMPARE(ShortDate(QDate(), QLocale(QLocale::English, QLocale::UnitedStates)), QString());
}

void TestNumbers::mediumTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("afternoon") << QTime(15, 17, 42) << "03:17 PM";
    QTest::newRow("morning") << QTime(9, 5) << "09:05 AM";
    QTest::newRow("midnight") << QTime(0, 0) << "12:00 AM";
    QTest::newRow("just after midnight") << QTime(0, 59) << "12:59 AM";
    QTest::newRow("noon") << QTime(12, 0) << "12:00 PM";
    QTest::newRow("last minute") << QTime(23, 59, 59) << "11:59 PM";
    QTest::newRow("invalid") << QTime() << "";
}

void TestNumbers::mediumTime()
{
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(MediumTime(time, QLocale(QLocale::English, QLocale::UnitedStates)), expected);
}

void TestNumbers::mediumTimeUsesLocaleDesignators()
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QCOMPARE(MediumTime(QTime(15, 17), chinese), u"03:17 " + chinese.pmText());
    QCOMPARE(MediumTime(QTime(3, 17), chinese), u"03:17 " + chinese.amText());
    QVERIFY(chinese.pmText() != QStringLiteral("PM"));
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
