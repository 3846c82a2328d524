#include "platform/Sounds.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

// Each sound plays its own wave file of the program's folder, in the order asked.
class TestSounds : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachSoundPlaysItsFileInOrder();
};

void TestSounds::eachSoundPlaysItsFileInOrder()
{
    FakePlatform platform;
    PlayLowAlert();
    PlayClick();
    PlayHighAlert();
    PlayClose();
    PlayOpen();
    PlayClick();
    const QStringList expected = {"Lowalert.wav", "Click.wav", "Highalert.wav",
                                  "Close.wav",    "Open.wav",  "Click.wav"};
    QCOMPARE(platform.sound.played.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QFileInfo played(platform.sound.played.at(i));
        QCOMPARE(played.fileName(), expected.at(i));
        // The build puts the program's wave files beside it; a name that differs from the
        // file's (in case, say) would play nothing.
        QVERIFY2(played.isFile(), qPrintable(played.filePath()));
    }
}

QTEST_MAIN(TestSounds)

#include "tst_sounds.moc"
