#include "platform/LogAppend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestLogAppend : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void appends_data();
    void appends();
    void unwritableFileSaysWhy_data();
    void unwritableFileSaysWhy();
};

void TestLogAppend::appends_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << QByteArray("a,1\r\n") << QByteArray("a,1\r\n");
    QTest::newRow("kept before") << QByteArray("old\r\n") << QByteArray("a,1\r\nb,2\r\n")
                                 << QByteArray("old\r\na,1\r\nb,2\r\n");
}

void TestLogAppend::appends()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, lines);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quotes.csv"));
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    QVERIFY(appendWholeLines(path, lines).succeeded());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
}

void TestLogAppend::unwritableFileSaysWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder missing") << QStringLiteral("gone/quotes.csv");
    QTest::newRow("a folder") << QStringLiteral("folder");
}

void TestLogAppend::unwritableFileSaysWhy()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const Result written = appendWholeLines(dir.filePath(name), "a,1\r\n");
    QVERIFY(!written);
    QCOMPARE(written.error().number(), RuntimeError::PathFileAccess);
    QVERIFY(!written.error().description().isEmpty());
    QVERIFY(!QFileInfo(dir.filePath(name)).isFile());
}

QTEST_GUILESS_MAIN(TestLogAppend)

#include "tst_logappend.moc"
