#include "support/Pixels.h"
#include "window/ClickableLabel.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

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

QTEST_MAIN(TestClickableLabel)

#include "tst_clickablelabel.moc"
