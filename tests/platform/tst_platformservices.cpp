#include "platform/RealPlatform.h"
#include "platform/SingleInstance.h"

#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

class TestPlatformServices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // What a server said reaches the user as the characters it sent: no markup, no links.
    void messageBoxShowsPlainText()
    {
        const QString text = QStringLiteral("<b>Bad</b> <a href=\"http://x.invalid\">gateway</a>");
        QString shown;
        Qt::TextFormat format = Qt::RichText;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            shown = label->text();
            format = label->textFormat();
            box->done(QMessageBox::Ok);
        });
        RealMessageBox boxes;
        boxes.show(nullptr, QStringLiteral("Stock Quote Server Error"), text,
                   MessageBoxService::Icon::Warning, QMessageBox::Ok, 0);
        QCOMPARE(shown, text);
        QCOMPARE(format, Qt::PlainText);
    }

    // One run per settings store: a later start for the same store is handed over to the
    // running one; another store, or a run that left its socket behind, starts on its own.
    void oneRunPerStore()
    {
        QTemporaryDir runtime;
        const QString store = runtime.filePath(QStringLiteral("a/Vantora.conf"));
        SingleInstance running(store, runtime.path());
        // A file where the socket should be, as a run that was killed leaves it.
        QDir().mkpath(QFileInfo(running.socketPath()).absolutePath());
        QVERIFY(QFile(running.socketPath()).open(QIODevice::WriteOnly));
        QVERIFY(!running.handOverToRunning());
        QSignalSpy raised(&running, &SingleInstance::raiseRequested);

        bool handedOver = false;
        std::thread later([&] {
            SingleInstance second(store, runtime.path());
            handedOver = second.handOverToRunning();
        });
        QTRY_COMPARE(raised.count(), 1);
        later.join();
        QVERIFY(handedOver);

        SingleInstance other(runtime.filePath(QStringLiteral("b/Vantora.conf")), runtime.path());
        QVERIFY(!other.handOverToRunning());
        QCOMPARE(raised.count(), 1);
    }
};

QTEST_MAIN(TestPlatformServices)
#include "tst_platformservices.moc"
