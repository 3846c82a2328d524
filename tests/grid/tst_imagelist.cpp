#include "common/Twips.h"
#include "grid/ImageList.h"
#include "support/Pixels.h"

#include <QApplication>
#include <QTest>

#include <climits>

namespace {

// Row (0-based) holding the most pixels of the colour.
int widestRow(const QImage &image, const QColor &color)
{
    int best = -1;
    int bestCount = 0;
    for (int y = 0; y < image.height(); ++y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb() &&
                image.pixelColor(x, y).alpha() == 255)
                ++n;
        if (n > bestCount) {
            bestCount = n;
            best = y;
        }
    }
    return best;
}

} // namespace

class TestImageList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void picture_data();
    void picture();
    void outOfRange_data();
    void outOfRange();
    void statesLookDifferent_data();
    void statesLookDifferent();
    void gridArrowsCarryChangeColours();
    void moveButtonsPointTheRightWay();
    void tickedBoxIsMarkedEmptyBoxIsNot();
    void sameInstance();
    void samePixmapEveryTime();
};

void TestImageList::picture_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("size");
    QTest::newRow("1 island button") << 1 << QSize(32, 16);
    QTest::newRow("2 widen") << 2 << QSize(16, 16);
    QTest::newRow("3 narrow") << 3 << QSize(16, 16);
    QTest::newRow("4 arrow down") << 4 << QSize(9, 9);
    QTest::newRow("5 arrow up") << 5 << QSize(9, 9);
    QTest::newRow("6 button down") << 6 << QSize(16, 16);
    QTest::newRow("7 button up") << 7 << QSize(16, 16);
    QTest::newRow("8 ticker skin")
        << 8 << QSize(Twips::toPixels(10050, 96), Twips::toPixels(8010, 96));
    QTest::newRow("9 browser skin")
        << 9 << QSize(Twips::toPixels(12045, 96), Twips::toPixels(2095, 96));
    QTest::newRow("10 ticked") << 10 << QSize(13, 13);
    QTest::newRow("11 empty") << 11 << QSize(13, 13);
    QTest::newRow("12 control box") << 12 << QSize(14, 14);
    QTest::newRow("13 calculator") << 13 << QSize(16, 16);
}

void TestImageList::picture()
{
    QFETCH(int, index);
    QFETCH(QSize, size);
    const ImageList &list = ImageList::instance();
    QCOMPARE(list.count(), 13);
    const QPixmap pixmap = list.image(index);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), size);
    QCOMPARE(list.size(index), size);
    QCOMPARE(list.toImage(index).size(), size);
    // Not a blank canvas: something was drawn.
    const QImage image = list.toImage(index);
    bool drawn = false;
    for (int y = 0; y < image.height() && !drawn; ++y)
        for (int x = 0; x < image.width() && !drawn; ++x)
            drawn = qAlpha(image.pixel(x, y)) != 0;
    QVERIFY(drawn);
}

void TestImageList::outOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
    QTest::newRow("count + 1") << 14;
    QTest::newRow("INT_MAX") << INT_MAX;
    QTest::newRow("INT_MIN") << INT_MIN;
}

void TestImageList::outOfRange()
{
    QFETCH(int, index);
    const ImageList &list = ImageList::instance();
    QVERIFY(list.image(index).isNull());
    QVERIFY(list.toImage(index).isNull());
    QVERIFY(list.size(index).isEmpty());
}

void TestImageList::statesLookDifferent_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::newRow("width button") << 2 << 3;
    QTest::newRow("grid arrows") << 4 << 5;
    QTest::newRow("mode and move buttons") << 6 << 7;
    QTest::newRow("ticked and empty box") << 10 << 11;
}

void TestImageList::statesLookDifferent()
{
    QFETCH(int, a);
    QFETCH(int, b);
    const ImageList &list = ImageList::instance();
    QCOMPARE(list.size(a), list.size(b));
    QVERIFY(list.toImage(a) != list.toImage(b));
}

void TestImageList::gridArrowsCarryChangeColours()
{
    const QColor rise(0x50, 0xEF, 0x00);
    const QColor fall(0xFF, 0x30, 0x00);
    const ImageList &list = ImageList::instance();
    QVERIFY(countPixels(list.toImage(ImageList::ArrowUp), rise) > 0);
    QCOMPARE(countPixels(list.toImage(ImageList::ArrowUp), fall), 0);
    QVERIFY(countPixels(list.toImage(ImageList::ArrowDown), fall) > 0);
    QCOMPARE(countPixels(list.toImage(ImageList::ArrowDown), rise), 0);
}

void TestImageList::moveButtonsPointTheRightWay()
{
    // The white triangle is widest at its base: near the top when it points down.
    const ImageList &list = ImageList::instance();
    const QImage down = list.toImage(6);
    const QImage up = list.toImage(7);
    const int downRow = widestRow(down, Qt::white);
    const int upRow = widestRow(up, Qt::white);
    QVERIFY(downRow >= 0 && upRow >= 0);
    QVERIFY2(downRow < down.height() / 2, qPrintable(QString::number(downRow)));
    QVERIFY2(upRow >= up.height() / 2, qPrintable(QString::number(upRow)));
}

void TestImageList::tickedBoxIsMarkedEmptyBoxIsNot()
{
    const ImageList &list = ImageList::instance();
    const auto darkInside = [](const QImage &box) {
        int n = 0;
        for (int y = 2; y < box.height() - 2; ++y)
            for (int x = 2; x < box.width() - 2; ++x)
                if (qGray(box.pixel(x, y)) < 128)
                    ++n;
        return n;
    };
    QVERIFY(darkInside(list.toImage(ImageList::BoxTicked)) >= 6);
    QCOMPARE(darkInside(list.toImage(ImageList::BoxEmpty)), 0);
}

void TestImageList::sameInstance()
{
    QCOMPARE(&ImageList::instance(), &ImageList::instance());
}

void TestImageList::samePixmapEveryTime()
{
    // Code that stores a picture in a grid cell recognises it again by its cache key.
    const ImageList &list = ImageList::instance();
    for (int i = 1; i <= list.count(); ++i)
        QCOMPARE(list.image(i).cacheKey(), list.image(i).cacheKey());
    QVERIFY(list.image(ImageList::BoxTicked).cacheKey() !=
            list.image(ImageList::BoxEmpty).cacheKey());
}

QTEST_MAIN(TestImageList)

#include "tst_imagelist.moc"
