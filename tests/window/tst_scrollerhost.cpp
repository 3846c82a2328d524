#include "window/ScrollerHost.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

// Drives the real Slidetape plugin through ScrollerHost: nothing here includes the library's
// headers either; the control is reached by member name only.
class TestScrollerHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void searchOrderStartsWithTheEnvironment();
    void loadsTheControlByIdentifier();
    void doScrollAndPsRunAPassByName();
    void propertiesAreSetAndReadByName();
    void eventsAreForwarded();
    void missingLibraryLeavesNoTicker();
    void unusableLibraryIsRejected();

private:
    QString m_pluginDir;
};

void TestScrollerHost::initTestCase()
{
    m_pluginDir = qEnvironmentVariable("VANTORA_PLUGIN_DIR");
    QVERIFY2(!m_pluginDir.isEmpty(), "the test harness names the build's lib/ folder");
    QVERIFY2(QFile::exists(QDir(m_pluginDir).filePath(ScrollerHost::libraryFileName())),
             qPrintable(m_pluginDir));
}

void TestScrollerHost::searchOrderStartsWithTheEnvironment()
{
    const QStringList dirs = ScrollerHost::defaultSearchDirs();
    QVERIFY(dirs.size() >= 3);
    QCOMPARE(dirs.at(0), m_pluginDir);
    QCOMPARE(dirs.at(1), QCoreApplication::applicationDirPath());
    QCOMPARE(dirs.at(2), QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../lib"));
}

void TestScrollerHost::loadsTheControlByIdentifier()
{
    QWidget window;
    ScrollerHost host;
    QVERIFY(!host.isLoaded());
    QVERIFY(host.load(&window));
    QVERIFY(host.isLoaded());
    QVERIFY(!host.isMissing());
    QCOMPARE(host.libraryPath(), QDir(m_pluginDir).filePath(ScrollerHost::libraryFileName()));
    QWidget *control = host.widget();
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &window);
    QCOMPARE(control->objectName(), QStringLiteral("Scroller1"));
    QCOMPARE(window.findChild<QWidget *>(QStringLiteral("Scroller1")), control);
    QCOMPARE(QLatin1String(control->metaObject()->className()),
             QLatin1String("Slidetape::HorizontalScroller"));
    // A second load keeps the one control.
    QVERIFY(host.load(&window));
    QCOMPARE(host.widget(), control);
}

void TestScrollerHost::doScrollAndPsRunAPassByName()
{
    QWidget window;
    window.resize(200, 30);
    ScrollerHost host;
    QVERIFY(host.load(&window));
    // The control fills its place and follows its size.
    QCOMPARE(host.widget()->geometry(), QRect(0, 0, 200, 30));
    window.resize(80, 20);
    window.show();
    QCOMPARE(host.widget()->geometry(), QRect(0, 0, 80, 20));

    // The control's probe reports every frame it shows; the host side only knows the
    // signal's name.
    QSignalSpy frames(host.widget()->findChild<QObject *>(QStringLiteral("ScrollerProbe")),
                      SIGNAL(frameShown(QString, int, int)));
    QVERIFY(frames.isValid());
    QVERIFY(host.doScroll(QStringLiteral(" DJIA      10,000"), 20, 0));
    // The pass runs inside the pause, as the ticker feed relies on.
    QVERIFY(host.ps(1000));
    QVERIFY(frames.size() >= 4);
    QCOMPARE(frames.first().at(0).toString(), QStringLiteral(" DJIA      10,000"));
    QCOMPARE(frames.first().at(1).toInt(), 80);

    // A request while a pass runs is dropped; upward passes start at x = 1.
    frames.clear();
    QVERIFY(host.doScroll(QStringLiteral("up"), 20, 0, false, 1));
    QVERIFY(host.ps(600));
    QVERIFY(!frames.isEmpty());
    QCOMPARE(frames.first().at(1).toInt(), 1);
    QCOMPARE(frames.first().at(2).toInt(), 20);

    bool ran = false;
    QTimer::singleShot(0, this, [&] { ran = true; });
    QVERIFY(host.ps(50));
    QVERIFY(ran);
}

void TestScrollerHost::propertiesAreSetAndReadByName()
{
    QWidget window;
    ScrollerHost host;
    QVERIFY(host.load(&window));
    QSignalSpy changed(&host, &ScrollerHost::PropertyChanged);

    host.setForeColor(0x30FF);
    host.setBackColor(0x585858);
    host.setFontBold(false);
    host.setMousePointer(13);
    QCOMPARE(host.foreColor(), 0x30FFu);
    QCOMPARE(host.backColor(), 0x585858u);
    QCOMPARE(host.fontBold(), false);
    QCOMPARE(host.mousePointer(), qint16(13));
    QCOMPARE(host.widget()->findChild<QWidget *>(QStringLiteral("Draw"))->cursor().shape(),
             Qt::BusyCursor);
    const QStringList names{QStringLiteral("ForeColor"), QStringLiteral("BackColor"),
                            QStringLiteral("FontBold"), QStringLiteral("MousePointer")};
    QCOMPARE(changed.size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(changed.at(i).first().toString(), names.at(i));

    // The saved appearance goes through the host's map and back.
    host.setToolTipText(QStringLiteral("Double-click for more"));
    const QVariantMap saved = host.saveProperties();
    QCOMPARE(saved.value(QStringLiteral("ForeColor")).toUInt(), 0x30FFu);
    QVERIFY(!saved.contains(QStringLiteral("BackColor")));
    QVERIFY(!saved.contains(QStringLiteral("FontBold")));

    QWidget other;
    ScrollerHost second;
    QVERIFY(second.load(&other));
    second.loadProperties(saved);
    QCOMPARE(second.foreColor(), 0x30FFu);
    QCOMPARE(second.controlProperty("ToolTipText").toString(),
             QStringLiteral("Double-click for more"));
    QCOMPARE(second.saveProperties(), saved);
}

void TestScrollerHost::eventsAreForwarded()
{
    QWidget window;
    window.resize(300, 40);
    ScrollerHost host;
    QVERIFY(host.load(&window));
    host.widget()->setGeometry(0, 0, 300, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget *draw = host.widget()->findChild<QWidget *>(QStringLiteral("Draw"));
    QVERIFY(draw);

    QSignalSpy dbl(&host, &ScrollerHost::DblClick);
    QSignalSpy down(&host, &ScrollerHost::MouseDown);
    QSignalSpy move(&host, &ScrollerHost::MouseMove);
    QSignalSpy hidden(&host, &ScrollerHost::Hide);

    QTest::mouseClick(draw, Qt::RightButton, Qt::NoModifier, QPoint(12, 7));
    QCOMPARE(down.size(), 1);
    QCOMPARE(down.first(), (QList<QVariant>{short(2), short(0), 12.0f, 7.0f}));

    QTest::mouseDClick(draw, Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
    QCOMPARE(dbl.size(), 1);

    QMouseEvent drag(QEvent::MouseMove, QPointF(50, 5), draw->mapToGlobal(QPointF(50, 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(draw, &drag);
    QCOMPARE(move.size(), 1);
    QCOMPARE(move.first().at(0).toInt(), 1);

    host.setVisible(false);
    QCOMPARE(hidden.size(), 1);
    QVERIFY(!host.widget()->isVisible());
}

void TestScrollerHost::missingLibraryLeavesNoTicker()
{
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QWidget window;
    ScrollerHost host;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Ticker control not available")));
    QVERIFY(!host.load(&window, QStringLiteral("Scroller1"), {empty.path()}));
    QVERIFY(!host.isLoaded());
    QVERIFY(host.isMissing());
    QVERIFY(host.errorString().contains(ScrollerHost::libraryFileName()));
    QVERIFY(!host.widget());
    QVERIFY(window.findChildren<QWidget *>().isEmpty());

    // Said once: a second attempt stays quiet.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("Ticker control")));
    QVERIFY(!host.load(&window, QStringLiteral("Scroller1"), {empty.path()}));

    // Everything else is a harmless no-op.
    QVERIFY(!host.doScroll(QStringLiteral("x"), 3, 0));
    QVERIFY(!host.ps(10));
    host.setForeColor(0xFF);
    QCOMPARE(host.foreColor(), 0u);
    QVERIFY(host.saveProperties().isEmpty());
}

void TestScrollerHost::unusableLibraryIsRejected()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile junk(QDir(dir.path()).filePath(ScrollerHost::libraryFileName()));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();

    QWidget window;
    ScrollerHost host;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Ticker control not available")));
    QVERIFY(!host.load(&window, QStringLiteral("Scroller1"), {dir.path()}));
    QVERIFY(host.isMissing());
    QVERIFY(host.errorString().contains(junk.fileName()));

    // A usable copy later in the search list is still found.
    QVERIFY(host.load(&window, QStringLiteral("Scroller1"), {dir.path(), m_pluginDir}));
    QVERIFY(host.isLoaded());
    QVERIFY(!host.isMissing());
}

QTEST_MAIN(TestScrollerHost)
#include "tst_scrollerhost.moc"
