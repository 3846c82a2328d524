#include "platform/WriteFailureNotice.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QDir>
#include <QTest>

class TestWriteFailureNotice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shownOnceUntilAWriteSucceeds();
    void namesFileReasonAndConsequence_data();
    void namesFileReasonAndConsequence();
};

void TestWriteFailureNotice::shownOnceUntilAWriteSucceeds()
{
    FakePlatform platform;
    WriteFailureNotice notice;
    const auto fail = [&] {
        notice.failed(nullptr, QStringLiteral("quote log"), QStringLiteral("/q.csv"),
                      QStringLiteral("disk full"), QStringLiteral("tried again later"));
    };
    fail();
    fail();
    QCOMPARE(platform.messageBox.shown.size(), 1);
    QVERIFY(notice.shown());
    notice.succeeded();
    QVERIFY(!notice.shown());
    fail();
    QCOMPARE(platform.messageBox.shown.size(), 2);
}

void TestWriteFailureNotice::namesFileReasonAndConsequence_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("text");
    const QString path = QDir::toNativeSeparators(QStringLiteral("/home/u/Vantora.ini"));
    QTest::newRow("with a reason")
        << QStringLiteral("No space left on device")
        << QStringLiteral("Vantora cannot write its settings file\n\"") + path +
               QStringLiteral("\":\nNo space left on device\n\nKept.");
    QTest::newRow("without a reason")
        << QString()
        << QStringLiteral("Vantora cannot write its settings file\n\"") + path +
               QStringLiteral("\"\n\nKept.");
}

void TestWriteFailureNotice::namesFileReasonAndConsequence()
{
    QFETCH(QString, reason);
    QFETCH(QString, text);
    FakePlatform platform;
    WriteFailureNotice().failed(nullptr, QStringLiteral("settings"),
                                QStringLiteral("/home/u/Vantora.ini"), reason,
                                QStringLiteral("Kept."));
    QCOMPARE(platform.messageBox.shown.size(), 1);
    const FakeMessageBox::Shown &box = platform.messageBox.shown.first();
    QCOMPARE(box.title, QStringLiteral("Vantora Critical Error"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, MessageBoxService::Icon::Critical);
}

QTEST_MAIN(TestWriteFailureNotice)

#include "tst_writefailurenotice.moc"
