#include "common/Money.h"
#include "common/Numbers.h"

#include <QtTest>

#include <limits>

namespace {
constexpr qint64 Largest = std::numeric_limits<qint64>::max();
constexpr double Infinity = std::numeric_limits<double>::infinity();
} // namespace

class TestMoney : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromDouble_data();
    void fromDouble();
    void fromText_data();
    void fromText();
    void toString_data();
    void toString();
    void toDouble_data();
    void toDouble();
    void roundedToCents_data();
    void roundedToCents();
    void times_data();
    void times();
    void arithmeticSaturates();
    void comparison();
    void tradeAmounts();
};

void TestMoney::fromDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("units");

    QTest::newRow("zero") << 0.0 << qint64(0);
    QTest::newRow("negative zero") << -0.0 << qint64(0);
    QTest::newRow("whole") << 1000.0 << qint64(10000000);
    QTest::newRow("price") << 25.33 << qint64(253300);
    QTest::newRow("negative") << -12.5 << qint64(-125000);
    QTest::newRow("four decimals") << 0.0001 << qint64(1);
    // Halves at the fifth decimal go to the even neighbour, judged on the shortest decimal
    // text of the double: 0.00005 is a half, although the double lies a little above it.
    QTest::newRow("half to even zero") << 0.00005 << qint64(0);
    QTest::newRow("half to even two") << 0.00015 << qint64(2);
    QTest::newRow("half to even down") << 1.00025 << qint64(10002);
    QTest::newRow("half to even up") << 1.00035 << qint64(10004);
    QTest::newRow("negative half") << -0.00015 << qint64(-2);
    QTest::newRow("above half") << 0.000051 << qint64(1);
    QTest::newRow("below half") << 0.000049 << qint64(0);
    QTest::newRow("sum error") << 0.1 + 0.2 << qint64(3000);
    QTest::newRow("product") << 25.335 * 3 << qint64(760050);
    QTest::newRow("tiny") << 1e-300 << qint64(0);
    QTest::newRow("largest amount") << 922337203685477.0 << qint64(9223372036854770000);
    QTest::newRow("beyond range") << 1e16 << Largest;
    QTest::newRow("beyond range negative") << -1e300 << -Largest;
    QTest::newRow("infinity") << Infinity << Largest;
    QTest::newRow("negative infinity") << -Infinity << -Largest;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestMoney::fromDouble()
{
    QFETCH(double, value);
    QFETCH(qint64, units);
    QCOMPARE(Money::fromDouble(value).units(), units);
}

void TestMoney::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("units");

    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("N/A") << "N/A" << qint64(0);
    QTest::newRow("whole") << "1000" << qint64(10000000);
    QTest::newRow("cents") << "  9.95" << qint64(99500);
    QTest::newRow("negative") << "-12.5" << qint64(-125000);
    QTest::newRow("trailing text") << "150abc" << qint64(1500000);
    QTest::newRow("stops at comma") << "1,234.56" << qint64(10000);
    QTest::newRow("exponent") << "1.5e3" << qint64(15000000);
    QTest::newRow("small exponent") << "1e-4" << qint64(1);
    // Exact decimal reading: the fifth decimal and beyond round half to even.
    QTest::newRow("exact half down") << "0.00005" << qint64(0);
    QTest::newRow("exact half up") << "0.00015" << qint64(2);
    QTest::newRow("just above half") << "0.000050000000000000000001" << qint64(1);
    QTest::newRow("just below half") << "0.000049999999999999999999" << qint64(0);
    QTest::newRow("negative half") << "-2.00005" << qint64(-20000);
    QTest::newRow("long fraction") << ("3." + QString(5000, u'3')) << qint64(33333);
    QTest::newRow("largest") << "922337203685477.5807" << Largest;
    QTest::newRow("one past largest") << "922337203685477.5808" << Largest;
    QTest::newRow("lowest") << "-922337203685477.5807" << -Largest;
    QTest::newRow("beyond lowest") << "-922337203685477.5808" << -Largest;
    QTest::newRow("many digits") << QString(1000, u'9') << Largest;
    QTest::newRow("huge exponent") << "1e999999999999" << Largest;
    QTest::newRow("tiny exponent") << "5e-999999999999" << qint64(0);
    QTest::newRow("rounds up to largest") << "922337203685477.58069" << Largest;
}

void TestMoney::fromText()
{
    QFETCH(QString, text);
    QFETCH(qint64, units);
    QCOMPARE(Money::fromText(text).units(), units);
}

void TestMoney::toString_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << qint64(0) << "0";
    QTest::newRow("thousand") << qint64(10000000) << "1000";
    QTest::newRow("minus twelve and a half") << qint64(-125000) << "-12.5";
    QTest::newRow("one unit") << qint64(1) << "0.0001";
    QTest::newRow("minus one unit") << qint64(-1) << "-0.0001";
    QTest::newRow("cents") << qint64(99500) << "9.95";
    QTest::newRow("inner zeros") << qint64(10203) << "1.0203";
    QTest::newRow("largest") << Largest << "922337203685477.5807";
    QTest::newRow("lowest") << std::numeric_limits<qint64>::min() << "-922337203685477.5807";
}

void TestMoney::toString()
{
    QFETCH(qint64, units);
    QFETCH(QString, text);
    const Money amount = Money::fromUnits(units);
    QCOMPARE(amount.toString(), text);
    // What is written into a box reads back as the same amount.
    QCOMPARE(Money::fromText(amount.toString()), amount);
}

void TestMoney::toDouble_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<double>("value");

    QTest::newRow("zero") << qint64(0) << 0.0;
    QTest::newRow("price") << qint64(253300) << 25.33;
    QTest::newRow("negative") << qint64(-125000) << -12.5;
    QTest::newRow("unit") << qint64(1) << 0.0001;
    QTest::newRow("beyond exact integers") << qint64(9007199254740993) << 900719925474.0993;
    QTest::newRow("largest") << Largest << 922337203685477.5807;
}

void TestMoney::toDouble()
{
    QFETCH(qint64, units);
    QFETCH(double, value);
    QCOMPARE(Money::fromUnits(units).toDouble(), value);
}

void TestMoney::roundedToCents_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<bool>("awayFromZero");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("already cents") << qint64(253300) << false << qint64(253300);
    QTest::newRow("below half") << qint64(12349) << false << qint64(12300);
    QTest::newRow("above half") << qint64(12351) << false << qint64(12400);
    QTest::newRow("half to even down") << qint64(1250) << false << qint64(1200);
    QTest::newRow("half to even up") << qint64(1350) << false << qint64(1400);
    QTest::newRow("negative half to even") << qint64(-1250) << false << qint64(-1200);
    QTest::newRow("negative above half") << qint64(-1251) << false << qint64(-1300);
    QTest::newRow("half away") << qint64(1250) << true << qint64(1300);
    QTest::newRow("negative half away") << qint64(-1250) << true << qint64(-1300);
    QTest::newRow("below half away") << qint64(1249) << true << qint64(1200);
    QTest::newRow("largest") << Largest << false << qint64(9223372036854775800);
    QTest::newRow("lowest") << -Largest << true << qint64(-9223372036854775800);
}

void TestMoney::roundedToCents()
{
    QFETCH(qint64, units);
    QFETCH(bool, awayFromZero);
    QFETCH(qint64, expected);
    const auto rounding =
        awayFromZero ? Money::Rounding::HalfAwayFromZero : Money::Rounding::HalfEven;
    QCOMPARE(Money::fromUnits(units).roundedToCents(rounding).units(), expected);
}

void TestMoney::times_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<double>("factor");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("shares") << qint64(253300) << 10.0 << qint64(2533000);
    QTest::newRow("fraction of shares") << qint64(10000) << 0.1 << qint64(1000);
    QTest::newRow("negative shares") << qint64(253300) << -10.0 << qint64(-2533000);
    QTest::newRow("negative amount") << qint64(-253300) << -2.0 << qint64(506600);
    QTest::newRow("zero factor") << qint64(253300) << 0.0 << qint64(0);
    QTest::newRow("zero amount") << qint64(0) << Infinity << qint64(0);
    QTest::newRow("half to even down") << qint64(1) << 0.5 << qint64(0);
    QTest::newRow("half to even up") << qint64(3) << 0.5 << qint64(2);
    QTest::newRow("negative half") << qint64(-3) << 0.5 << qint64(-2);
    QTest::newRow("above half") << qint64(1) << 0.5000001 << qint64(1);
    QTest::newRow("decimal factor exact") << qint64(10000) << 1.005 << qint64(10050);
    QTest::newRow("third") << qint64(10000) << 1.0 / 3 << qint64(3333);
    QTest::newRow("tiny factor") << Largest << 1e-300 << qint64(0);
    QTest::newRow("large factor") << qint64(10000) << 1e10 << qint64(100000000000000);
    QTest::newRow("overflow") << qint64(10000) << 1e300 << Largest;
    QTest::newRow("overflow negative") << Largest << -2.0 << -Largest;
    QTest::newRow("infinity") << qint64(-1) << Infinity << -Largest;
    QTest::newRow("NaN") << qint64(10000) << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestMoney::times()
{
    QFETCH(qint64, units);
    QFETCH(double, factor);
    QFETCH(qint64, expected);
    QCOMPARE(Money::fromUnits(units).times(factor).units(), expected);
}

void TestMoney::arithmeticSaturates()
{
    const Money one = Money::fromUnits(1);
    QCOMPARE((Money::max() + one), Money::max());
    QCOMPARE((Money::min() - one), Money::min());
    QCOMPARE((Money::max() - Money::min()), Money::max());
    QCOMPARE(-Money::min(), Money::max());
    QCOMPARE(Money::fromUnits(std::numeric_limits<qint64>::min()), Money::min());
    QCOMPARE((Money::max() + Money::min()).units(), qint64(0));

    Money cash = Money::fromText(u"50");
    cash += Money::fromText(u"100");
    QCOMPARE(cash.toString(), QStringLiteral("150"));
    cash -= Money::fromText(u"150.0001");
    QCOMPARE(cash.toString(), QStringLiteral("-0.0001"));
    cash = Money::max();
    cash += one;
    QCOMPARE(cash, Money::max());
}

void TestMoney::comparison()
{
    const Money a = Money::fromText(u"10.5");
    const Money b = Money::fromText(u"10.50");
    const Money c = Money::fromText(u"-10.5");
    QVERIFY(a == b);
    QVERIFY(a != c);
    QVERIFY(c < a);
    QVERIFY(a > c);
    QVERIFY(a <= b && a >= b);
    QVERIFY(Money::min() < c && a < Money::max());
    QCOMPARE(a <=> b, std::strong_ordering::equal);
    QCOMPARE(Money() <=> Money::fromUnits(1), std::strong_ordering::less);
}

void TestMoney::tradeAmounts()
{
    // 10 shares bought at 25.33 with a 9.95 fee out of 263.25 cash: exactly all of it.
    const Money gross = Money::fromDouble(Val("25.33") * Val(u"10"));
    const Money total = gross + Money::fromText(u"9.95");
    const Money cash = Money::fromText(u"263.25");
    QVERIFY(!(total > cash));
    QCOMPARE((cash - total).toString(), QStringLiteral("0"));
    QCOMPARE((-total).toString(), QStringLiteral("-263.25"));

    // The opening value of 10 shares at 25.33, shown with two decimals.
    const Money opening = Money::fromText(u"25.33").times(10).roundedToCents();
    QCOMPARE(Format(opening.toDouble(), "#,###,##0.00"), QStringLiteral("253.30"));
    const Money current = Money::fromText(u"25.55").times(10);
    QCOMPARE(Format((current - opening).toDouble(), u"####0.00"), QStringLiteral("2.20"));
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
