#include "common/Twips.h"

#include <QApplication>
#include <QTest>

class TestTwips : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toPixels_data();
    void toPixels();
    void toTwips();
    void roundTrip();
    void screenDpi();
};

void TestTwips::toPixels_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("one pixel") << 15.0 << 96.0 << 1;
    QTest::newRow("collapsed height") << 2095.0 << 96.0 << 140;
    QTest::newRow("narrow width") << 12045.0 << 96.0 << 803;
    QTest::newRow("ticker height") << 8010.0 << 96.0 << 534;
    QTest::newRow("inch at 120 dpi") << 1440.0 << 120.0 << 120;
    QTest::newRow("twelve at 120 dpi") << 12.0 << 120.0 << 1;
    QTest::newRow("inch at 144 dpi") << 1440.0 << 144.0 << 144;
    QTest::newRow("zero") << 0.0 << 96.0 << 0;
    QTest::newRow("negative") << -150.0 << 96.0 << -10;
    QTest::newRow("rounds to nearest") << 22.0 << 96.0 << 1;
    QTest::newRow("rounds half up") << 22.5 << 96.0 << 2;
}

void TestTwips::toPixels()
{
    QFETCH(double, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(Twips::toPixels(twips, dpi), pixels);
}

void TestTwips::toTwips()
{
    QCOMPARE(Twips::toTwips(1, 96), 15.0);
    QCOMPARE(Twips::toTwips(140, 96), 2100.0);
    QCOMPARE(Twips::toTwips(1, 120), 12.0);
    QCOMPARE(Twips::perPixel(96), 15.0);
    QCOMPARE(Twips::perPixel(120), 12.0);
}

void TestTwips::roundTrip()
{
    for (double dpi : {72.0, 96.0, 120.0, 144.0, 192.0})
        for (int px = -50; px <= 2000; ++px)
            QCOMPARE(Twips::toPixels(Twips::toTwips(px, dpi), dpi), px);
}

void TestTwips::screenDpi()
{
    const double dpi = Twips::logicalDpi();
    QVERIFY(dpi > 0);
    QCOMPARE(Twips::toPixels(1440.0), qRound(dpi));
    QCOMPARE(Twips::toPixels(Twips::toTwips(77)), 77);
}

QTEST_MAIN(TestTwips)

#include "tst_twips.moc"
