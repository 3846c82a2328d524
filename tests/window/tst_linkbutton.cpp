#include "support/Pixels.h"
#include "window/LinkButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

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

QTEST_MAIN(TestLinkButton)

#include "tst_linkbutton.moc"
