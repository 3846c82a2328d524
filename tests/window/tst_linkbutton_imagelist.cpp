#include "grid/ImageList.h"
#include "screen/Twips.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <climits>

namespace {

int countPixels(const QImage &image, const QColor &color)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).rgb() == color.rgb())
                ++n;
    return n;
}

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

class TestLinkButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaults();
    void clickEmitsOnceAndLeavesHoverState();
    void handlerCanResetState();
    void releaseOutsideIsNoClick();
    void disabledButtonIgnoresMouse();
    void keyboardActivates();
    void stateFollowsEnterAndLeave();
    void colourSettersNotifyOnlyOnChange();
    void paintsCaptionAndSecondColour();
};

void TestLinkButton::defaults()
{
    LinkButton b(QStringLiteral("Home"));
    QCOMPARE(b.text(), QStringLiteral("Home"));
    QCOMPARE(b.captionColor(), QColor(Qt::white));
    QCOMPARE(b.secondColor(), QColor(0x58, 0x58, 0x58));
    QCOMPARE(b.state(), int(LinkButton::Up));
    QVERIFY(b.sizeHint().width() > QFontMetrics(b.font()).horizontalAdvance(QStringLiteral("Hom")));
}

void TestLinkButton::clickEmitsOnceAndLeavesHoverState()
{
    LinkButton b(QStringLiteral("Charts"));
    b.resize(60, 20);
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QSignalSpy states(&b, &LinkButton::stateChanged);

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(b.state(), int(LinkButton::Down));
    QCOMPARE(clicked.count(), 0);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(b.state(), int(LinkButton::Hover));
    QCOMPARE(states.count(), 2);
    QCOMPARE(states.at(0).at(0).toInt(), int(LinkButton::Down));
    QCOMPARE(states.at(1).at(0).toInt(), int(LinkButton::Hover));
}

void TestLinkButton::handlerCanResetState()
{
    LinkButton b(QStringLiteral("Options"));
    b.resize(60, 20);
    int seenInHandler = -1;
    connect(&b, &QAbstractButton::clicked, &b, [&] {
        seenInHandler = b.state();
        if (b.state() != LinkButton::Up)
            b.setState(LinkButton::Up);
    });
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(seenInHandler, int(LinkButton::Hover));
    QCOMPARE(b.state(), int(LinkButton::Up));
}

void TestLinkButton::releaseOutsideIsNoClick()
{
    LinkButton b(QStringLiteral("News"));
    b.resize(60, 20);
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 200));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(b.state(), int(LinkButton::Up));
}

void TestLinkButton::disabledButtonIgnoresMouse()
{
    LinkButton b(QStringLiteral("Update"));
    b.resize(60, 20);
    b.setState(LinkButton::Hover);
    b.setEnabled(false);
    QCOMPARE(b.state(), int(LinkButton::Up));
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(b.state(), int(LinkButton::Up));
}

void TestLinkButton::keyboardActivates()
{
    LinkButton b(QStringLiteral("Exit"));
    b.resize(60, 20);
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QTest::keyClick(&b, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);
}

void TestLinkButton::stateFollowsEnterAndLeave()
{
    LinkButton b(QStringLiteral("BTV"));
    b.resize(60, 20);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&b, &enter);
    QCOMPARE(b.state(), int(LinkButton::Hover));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &leave);
    QCOMPARE(b.state(), int(LinkButton::Up));
}

void TestLinkButton::colourSettersNotifyOnlyOnChange()
{
    LinkButton b;
    QSignalSpy caption(&b, &LinkButton::captionColorChanged);
    QSignalSpy second(&b, &LinkButton::secondColorChanged);
    QSignalSpy state(&b, &LinkButton::stateChanged);

    b.setCaptionColor(Qt::black);
    b.setCaptionColor(Qt::black);
    b.setSecondColor(QColor(0x58, 0x58, 0x58)); // already the default
    b.setSecondColor(Qt::blue);
    b.setState(LinkButton::Up); // already Up
    b.setState(1);

    QCOMPARE(caption.count(), 1);
    QCOMPARE(b.captionColor(), QColor(Qt::black));
    QCOMPARE(second.count(), 1);
    QCOMPARE(b.secondColor(), QColor(Qt::blue));
    QCOMPARE(state.count(), 1);
    QCOMPARE(b.property("state").toInt(), 1);
    // The same values through the property system, as code that binds by name uses them.
    QVERIFY(b.setProperty("captionColor", QColor(Qt::white)));
    QCOMPARE(b.captionColor(), QColor(Qt::white));
}

void TestLinkButton::paintsCaptionAndSecondColour()
{
    LinkButton b(QStringLiteral("WWWW"));
    QFont f = b.font();
    f.setPixelSize(24);
    f.setBold(true);
    b.setFont(f);
    b.resize(b.sizeHint());
    const QColor caption(255, 0, 0);
    const QColor second(0, 0, 255);
    b.setCaptionColor(caption);
    b.setSecondColor(second);

    const QImage atRest = b.grab().toImage();
    QVERIFY(countPixels(atRest, caption) > 0);
    QCOMPARE(countPixels(atRest, second), 0);

    b.setState(LinkButton::Hover);
    const QImage lit = b.grab().toImage();
    QVERIFY(countPixels(lit, caption) > 0);
    QVERIFY(countPixels(lit, second) > lit.width() * lit.height() / 4);

    b.setCaptionColor(QColor(0, 255, 0));
    QCOMPARE(countPixels(b.grab().toImage(), caption), 0);
}

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

class TestClickableLabel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void clickAndDoubleClick();
    void releaseOutsideIsNoClick();
    void reportsButtonsAndModifiers();
    void reportsKeys();
    void paintsBackColour();
};

void TestClickableLabel::clickAndDoubleClick()
{
    ClickableLabel l;
    l.resize(16, 16);
    QSignalSpy clicked(&l, &ClickableLabel::clicked);
    QSignalSpy doubled(&l, &ClickableLabel::doubleClicked);
    QTest::mouseClick(&l, Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(clicked.count(), 1);
    QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(doubled.count(), 1);
    // A right click is no click.
    QTest::mouseClick(&l, Qt::RightButton, {}, QPoint(8, 8));
    QCOMPARE(clicked.count(), 1);
}

void TestClickableLabel::releaseOutsideIsNoClick()
{
    ClickableLabel l;
    l.resize(16, 16);
    QSignalSpy clicked(&l, &ClickableLabel::clicked);
    QSignalSpy up(&l, &ClickableLabel::mouseUp);
    QTest::mousePress(&l, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseRelease(&l, Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(up.count(), 1);
}

void TestClickableLabel::reportsButtonsAndModifiers()
{
    ClickableLabel l;
    l.resize(30, 30);
    QSignalSpy down(&l, &ClickableLabel::mouseDown);
    QSignalSpy moved(&l, &ClickableLabel::mouseMove);
    QTest::mousePress(&l, Qt::RightButton, Qt::ShiftModifier, QPoint(3, 4));
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(down.at(0).at(1).value<Qt::KeyboardModifiers>(),
             Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(down.at(0).at(2).toPoint(), QPoint(3, 4));
    QTest::mouseRelease(&l, Qt::RightButton, {}, QPoint(3, 4));

    QMouseEvent move(QEvent::MouseMove, QPointF(7, 9), QPointF(7, 9), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&l, &move);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::LeftButton));
    QCOMPARE(moved.at(0).at(2).toPoint(), QPoint(7, 9));
}

void TestClickableLabel::reportsKeys()
{
    ClickableLabel l;
    QSignalSpy keys(&l, &ClickableLabel::keyPressed);
    QTest::keyClick(&l, Qt::Key_Return);
    QTest::keyClick(&l, Qt::Key_A);
    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.at(0).at(0).toInt(), int(Qt::Key_Return));
    QCOMPARE(keys.at(1).at(0).toInt(), int(Qt::Key_A));
}

void TestClickableLabel::paintsBackColour()
{
    ClickableLabel l;
    l.resize(10, 10);
    const QColor lamp(0, 255, 0);
    QCOMPARE(countPixels(l.grab().toImage(), lamp), 0);
    l.setBackColor(lamp);
    QCOMPARE(countPixels(l.grab().toImage(), lamp), 100);
}

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

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestLinkButton t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestImageList t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestClickableLabel t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestTwips t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_linkbutton_imagelist.moc"
