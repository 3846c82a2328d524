#include "HorizontalScroller.h"
#include "ScrollerProbe.h"
#include "ScrollerSurface.h"
#include "VariantMapPropertyBag.h"

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Slidetape::HorizontalScroller;
using Slidetape::ScrollerProbe;
using Slidetape::VariantMapPropertyBag;

namespace {

constexpr int LongWait = 30000;

// Records, in order, every frame that reached the screen and every phase of every pass.
struct PassLog
{
    struct Entry
    {
        bool isFrame = false;
        int slot = -1;
        ScrollerProbe::PassPhase phase = ScrollerProbe::Enter;
        QString text;
        int x = 0;
        int y = 0;
    };
    QList<Entry> entries;

    explicit PassLog(HorizontalScroller &s)
    {
        QObject::connect(ScrollerProbe::of(s), &ScrollerProbe::frameShown,
                         [this](const QString &text, int x, int y) {
                             entries.append({true, -1, ScrollerProbe::Enter, text, x, y});
                         });
        QObject::connect(ScrollerProbe::of(s), &ScrollerProbe::passPhase,
                         [this](int slot, ScrollerProbe::PassPhase phase) {
                             entries.append({false, slot, phase, {}, 0, 0});
                         });
    }
    int count(ScrollerProbe::PassPhase phase) const
    {
        int n = 0;
        for (const Entry &e : entries)
            n += (!e.isFrame && e.phase == phase) ? 1 : 0;
        return n;
    }
    int indexOf(ScrollerProbe::PassPhase phase, int from = 0) const
    {
        for (int i = from; i < entries.size(); ++i)
            if (!entries[i].isFrame && entries[i].phase == phase)
                return i;
        return -1;
    }
    QList<Entry> framesBetween(int from, int to) const
    {
        QList<Entry> frames;
        for (int i = from + 1; i < to; ++i)
            if (entries[i].isFrame)
                frames.append(entries[i]);
        return frames;
    }
};

// Whether the image holds anything but background within `logical` (in the image's
// device-independent pixels, whatever the screen's pixel ratio).
bool hasInk(const QImage &image, const QColor &background, const QRect &logical)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect area =
        QRectF(QPointF(logical.topLeft()) * ratio, QSizeF(logical.size()) * ratio).toAlignedRect();
    const QRgb bg = background.rgb();
    for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y)
        for (int x = qMax(0, area.left()); x <= area.right() && x < image.width(); ++x)
            if (image.pixel(x, y) != bg)
                return true;
    return false;
}

} // namespace

class TestHorizontalScroller : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leftwardPassEntersHoldsAndLeaves_data();
    void leftwardPassEntersHoldsAndLeaves();
    void upwardPassRisesFromTheBottom();
    void holdLastsThePauseEvenForEmptyText();
    void droppedRequestStillSetsDirection();
    void overrideRestartsFromTheEdge();
    void allSlotsBusyStartsNoFurtherPass();
    void overflowEndsThePassWithAnError();
    void zeroSpeedStillEnds();
    void framesReachTheScreenAndTheLastOneStays();
    void psPumpsEventsUntilIntervalPassed_data();
    void psPumpsEventsUntilIntervalPassed();
    void freshControlSavesOnlyChangedDefaults();
    void missingPropertyLoadsItsDefault_data();
    void missingPropertyLoadsItsDefault();
    void savedStateLoadsBackThroughSettings();
    void propertyWriteNotifiesByName_data();
    void propertyWriteNotifiesByName();
    void invalidPropertyValueIsRefused();
    void mouseAndKeyEventsAreRaised();
    void disabledControlRaisesNoMouseEvents();
    void hidingRaisesHide();
    void passEndsPromptly_data();
    void passEndsPromptly();
    void foreColorDrawsInItsOwnHue_data();
    void foreColorDrawsInItsOwnHue();
    void fontSizeIsBounded_data();
    void fontSizeIsBounded();
    void savedEnabledIsTheControlsOwn_data();
    void savedEnabledIsTheControlsOwn();
    void wideLineDrawsOnlyWhatTheStripShows();
    void paletteAndFontGivenToTheWidgetAreFollowed();
    void changeSignalsFireOnlyOnAChange_data();
    void changeSignalsFireOnlyOnAChange();
    void keyPressCarriesTheWholeCharacter_data();
    void keyPressCarriesTheWholeCharacter();
    void designerAndScreenReadersSeeOneNamedControl_data();
    void designerAndScreenReadersSeeOneNamedControl();
    void pluginCreatesThisLibrarysClass();
};

void TestHorizontalScroller::leftwardPassEntersHoldsAndLeaves_data()
{
    QTest::addColumn<short>("speed");
    QTest::addColumn<QString>("text");
    QTest::newRow("speed 1") << short(1) << QStringLiteral("AB");
    QTest::newRow("speed 3") << short(3) << QStringLiteral("ABCD");
    QTest::newRow("speed 7") << short(7) << QStringLiteral("Dow Jones");
    QTest::newRow("speed 33") << short(33) << QStringLiteral("X");
}

void TestHorizontalScroller::leftwardPassEntersHoldsAndLeaves()
{
    QFETCH(short, speed);
    QFETCH(QString, text);
    HorizontalScroller s;
    s.resize(60, 20);
    s.show();
    PassLog log(s);

    s.DoScroll(text, speed, 30, false);
    QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);

    const int enter = log.indexOf(ScrollerProbe::Enter);
    const int hold = log.indexOf(ScrollerProbe::Hold);
    const int leave = log.indexOf(ScrollerProbe::Leave);
    const int done = log.indexOf(ScrollerProbe::Done);
    QVERIFY(enter >= 0 && enter < hold && hold < leave && leave < done);

    const auto entering = log.framesBetween(enter, hold);
    QVERIFY(!entering.isEmpty());
    QCOMPARE(entering.first().x, 60);
    for (int i = 0; i < entering.size(); ++i) {
        QCOMPARE(entering[i].x, 60 - i * speed);
        QCOMPARE(entering[i].y, 0);
        QCOMPARE(entering[i].text, text);
    }
    // The frame left on screen during the hold starts between 2 and 1 + speed pixels in.
    QVERIFY2(entering.last().x >= 2 && entering.last().x <= 1 + speed,
             qPrintable(QString::number(entering.last().x)));
    QVERIFY(log.framesBetween(hold, leave).isEmpty());

    const auto leaving = log.framesBetween(leave, done);
    const int bound = -8 * int(text.size());
    QVERIFY(!leaving.isEmpty());
    QCOMPARE(leaving.first().x, entering.last().x - speed);
    for (int i = 0; i < leaving.size(); ++i) {
        QCOMPARE(leaving[i].x, leaving.first().x - i * speed);
        QVERIFY(leaving[i].x > bound);
    }
    QVERIFY(ScrollerProbe::of(s)->scrollX() <= bound);
    QVERIFY(ScrollerProbe::of(s)->scrollX() > bound - speed);
    QVERIFY(!ScrollerProbe::of(s)->isBusy());
    QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), 0);
}

void TestHorizontalScroller::upwardPassRisesFromTheBottom()
{
    HorizontalScroller s;
    s.resize(80, 40);
    s.show();
    PassLog log(s);
    const short speed = 6;

    s.DoScroll(QStringLiteral("UP"), speed, 0, false, 1);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);

    const auto entering =
        log.framesBetween(log.indexOf(ScrollerProbe::Enter), log.indexOf(ScrollerProbe::Hold));
    QCOMPARE(entering.first().y, 40);
    for (const auto &f : entering)
        QCOMPARE(f.x, 1);
    QVERIFY(entering.last().y >= 2 && entering.last().y <= 1 + speed);
    const auto leaving =
        log.framesBetween(log.indexOf(ScrollerProbe::Leave), log.indexOf(ScrollerProbe::Done));
    QVERIFY(!leaving.isEmpty());
    QVERIFY(leaving.last().y > -16);
    QVERIFY(ScrollerProbe::of(s)->scrollY() <= -16);
    QVERIFY(!ScrollerProbe::of(s)->isBusy());
}

void TestHorizontalScroller::holdLastsThePauseEvenForEmptyText()
{
    HorizontalScroller s;
    s.resize(50, 20);
    PassLog log(s);
    quint32 holdTick = 0;
    quint32 leaveTick = 0;
    connect(ScrollerProbe::of(s), &ScrollerProbe::passPhase,
            [&](int, ScrollerProbe::PassPhase phase) {
                if (phase == ScrollerProbe::Hold)
                    holdTick = ScrollerProbe::systemTickCount();
                if (phase == ScrollerProbe::Leave)
                    leaveTick = ScrollerProbe::systemTickCount();
            });

    s.DoScroll(QString(), 20, 250, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);

    QVERIFY(log.indexOf(ScrollerProbe::Hold) > 0);
    QVERIFY(leaveTick - holdTick >= 250u);
    const auto frames = log.framesBetween(0, log.indexOf(ScrollerProbe::Hold));
    QVERIFY(!frames.isEmpty());
    for (const auto &f : frames)
        QVERIFY(f.text.isEmpty());
    QVERIFY(ScrollerProbe::of(s)->scrollX() <= 0);
}

void TestHorizontalScroller::droppedRequestStillSetsDirection()
{
    HorizontalScroller s;
    s.resize(60, 30);
    PassLog log(s);
    bool requested = false;
    connect(ScrollerProbe::of(s), &ScrollerProbe::frameShown, [&] {
        if (requested)
            return;
        requested = true;
        // Enables a second slot that has not fired yet ...
        s.DoScroll(QStringLiteral("B"), 10, 0, true);
        // ... and a dropped request turns every pass that starts from now on upward.
        s.DoScroll(QStringLiteral("C"), 10, 0, false, 1);
        QCOMPARE(ScrollerProbe::of(s)->scrollText(), QStringLiteral("B"));
        QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), 2);
    });

    s.DoScroll(QStringLiteral("A"), 10, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 2, LongWait);

    const int second = log.indexOf(ScrollerProbe::Enter, 1);
    QVERIFY(second > 0);
    QCOMPARE(log.entries[second].slot, 1);
    const auto nested = log.framesBetween(second, log.indexOf(ScrollerProbe::Hold));
    QVERIFY(!nested.isEmpty());
    QCOMPARE(nested.first().x, 1);
    QCOMPARE(nested.first().y, 30);
    QCOMPARE(nested.first().text, QStringLiteral("B"));
    QVERIFY(!ScrollerProbe::of(s)->isBusy());
}

void TestHorizontalScroller::overrideRestartsFromTheEdge()
{
    HorizontalScroller s;
    s.resize(70, 20);
    PassLog log(s);
    int frames = 0;
    int overrideAt = -1;
    connect(ScrollerProbe::of(s), &ScrollerProbe::frameShown, [&] {
        if (++frames == 3) {
            overrideAt = int(log.entries.size());
            s.DoScroll(QStringLiteral("NEW"), 9, 0, true);
        }
    });

    s.DoScroll(QStringLiteral("OLD"), 9, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 2, LongWait);

    QVERIFY(overrideAt > 0);
    const auto before = log.framesBetween(-1, overrideAt);
    QCOMPARE(before.size(), 3);
    for (const auto &f : before)
        QCOMPARE(f.text, QStringLiteral("OLD"));
    const auto after = log.framesBetween(overrideAt - 1, int(log.entries.size()));
    QVERIFY(!after.isEmpty());
    QCOMPARE(after.first().x, 70);
    for (const auto &f : after)
        QCOMPARE(f.text, QStringLiteral("NEW"));
    // The nested pass runs to its leave bound; the outer pass then ends without another frame.
    const int innerDone = log.indexOf(ScrollerProbe::Done);
    QCOMPARE(log.entries[innerDone].slot, 1);
    QVERIFY(log.framesBetween(innerDone, int(log.entries.size())).isEmpty());
    QVERIFY(ScrollerProbe::of(s)->scrollX() <= -24);
    QVERIFY(!ScrollerProbe::of(s)->isBusy());
    QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), 0);
}

void TestHorizontalScroller::allSlotsBusyStartsNoFurtherPass()
{
    HorizontalScroller s;
    s.resize(40, 20);
    PassLog log(s);
    bool requested = false;
    connect(ScrollerProbe::of(s), &ScrollerProbe::frameShown, [&] {
        if (requested)
            return;
        requested = true;
        for (int i = 1; i < HorizontalScroller::SlotCount; ++i)
            s.DoScroll(QStringLiteral("T%1").arg(i), 40, 0, true);
        QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), HorizontalScroller::SlotCount);
        s.DoScroll(QStringLiteral("LAST"), 40, 0, true);
        QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), HorizontalScroller::SlotCount);
        QCOMPARE(ScrollerProbe::of(s)->scrollText(), QStringLiteral("LAST"));
    });

    s.DoScroll(QStringLiteral("T0"), 40, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), HorizontalScroller::SlotCount,
                              LongWait);
    QCOMPARE(log.count(ScrollerProbe::Enter), HorizontalScroller::SlotCount);
    QVERIFY(!ScrollerProbe::of(s)->isBusy());
    QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), 0);

    // Every slot is free again for the next request.
    s.DoScroll(QStringLiteral("again"), 40, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), HorizontalScroller::SlotCount + 1,
                              LongWait);
}

void TestHorizontalScroller::overflowEndsThePassWithAnError()
{
    HorizontalScroller s;
    s.resize(100, 20);
    PassLog log(s);
    QSignalSpy errors(&s, &HorizontalScroller::Error);
    // The first step takes the position to 100 - 32767; the leave bound of this text lies
    // below that, so the next step would leave the 16-bit range.
    s.DoScroll(QString(5000, QLatin1Char('x')), 32767, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Aborted), 1, LongWait);

    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).toInt(), HorizontalScroller::OverflowError);
    QCOMPARE(errors.first().at(1).toString(), QStringLiteral("Overflow"));
    QCOMPARE(log.count(ScrollerProbe::Done), 0);
    QCOMPARE(ScrollerProbe::of(s)->scrollX(), short(100 - 32767));
    QVERIFY(!ScrollerProbe::of(s)->isBusy());
    QCOMPARE(ScrollerProbe::of(s)->enabledSlotCount(), 0);

    // The control keeps working afterwards.
    s.DoScroll(QStringLiteral("ok"), 50, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);
}

void TestHorizontalScroller::zeroSpeedStillEnds()
{
    HorizontalScroller s;
    s.resize(12, 20);
    PassLog log(s);
    s.DoScroll(QStringLiteral("Z"), 0, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);
    QCOMPARE(ScrollerProbe::of(s)->scrollX(), short(-8));
}

void TestHorizontalScroller::framesReachTheScreenAndTheLastOneStays()
{
    HorizontalScroller s;
    s.resize(120, 24);
    s.setForeColor(0xFFFFFF);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    Slidetape::ScrollerSurface *draw =
        s.findChild<Slidetape::ScrollerSurface *>(QStringLiteral("Draw"));
    QVERIFY(draw);
    const QColor background = draw->backgroundColor();
    QCOMPARE(background, QColor(0x58, 0x58, 0x58));

    bool inkDuringHold = false;
    connect(ScrollerProbe::of(s), &ScrollerProbe::passPhase,
            [&](int, ScrollerProbe::PassPhase phase) {
                // The held text starts at most 1 + speed pixels in.
                if (phase == ScrollerProbe::Hold)
                    inkDuringHold = hasInk(draw->grab().toImage(), background, QRect(0, 0, 40, 24));
            });
    PassLog log(s);
    s.DoScroll(QStringLiteral("WWWW"), 30, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);
    QVERIFY(inkDuringHold);

    // The last frame stays on screen after the pass.
    QVERIFY(draw->hasFrame());
    QCOMPARE(draw->shownFrame(), ScrollerProbe::of(s)->buffer());

    // Cls clears the buffer only.
    s.DoScroll(QStringLiteral("W"), 50, 300, false);
    bool checked = false;
    connect(ScrollerProbe::of(s), &ScrollerProbe::passPhase,
            [&](int, ScrollerProbe::PassPhase phase) {
                if (phase != ScrollerProbe::Hold || checked)
                    return;
                checked = true;
                const QImage before = draw->grab().toImage();
                QVERIFY(hasInk(before, background, QRect(0, 0, 60, 24)));
                s.Cls();
                QVERIFY(!hasInk(ScrollerProbe::of(s)->buffer(), QColor(0x58, 0x58, 0x58),
                                ScrollerProbe::of(s)->buffer().rect()));
                QCOMPARE(draw->grab().toImage(), before);
                s.Refresh();
                QVERIFY(!hasInk(draw->grab().toImage(), background, draw->rect()));
            });
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 2, LongWait);
    QVERIFY(checked);
}

void TestHorizontalScroller::psPumpsEventsUntilIntervalPassed_data()
{
    QTest::addColumn<quint32>("base");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("pumps");
    QTest::newRow("counter wraps during the wait") << 0xFFFFFF9Cu << 300 << true;
    QTest::newRow("counter wraps at the start") << 0xFFFFFFFFu << 150 << true;
    QTest::newRow("no wrap") << 1000u << 200 << true;
    QTest::newRow("zero interval returns at once") << 0xFFFFFFF0u << 0 << false;
    QTest::newRow("negative interval returns at once") << 5u << -100 << false;
}

void TestHorizontalScroller::psPumpsEventsUntilIntervalPassed()
{
    QFETCH(quint32, base);
    QFETCH(int, interval);
    QFETCH(bool, pumps);
    HorizontalScroller s;
    QElapsedTimer clock;
    clock.start();
    quint32 lastTick = 0;
    ScrollerProbe::of(s)->setTickSource([&] {
        lastTick = base + quint32(clock.elapsed());
        return lastTick;
    });
    bool ran = false;
    QTimer::singleShot(0, &s, [&] { ran = true; });

    const quint32 start = base + quint32(clock.elapsed());
    s.PS(interval);
    const quint32 waited = lastTick - start;

    QCOMPARE(ran, pumps);
    if (interval > 0)
        QVERIFY2(waited >= quint32(interval), qPrintable(QString::number(waited)));
    if (base > 0xFFFFFF00u && interval > 0)
        QVERIFY(lastTick < base); // the counter did wrap while PS waited
}

void TestHorizontalScroller::freshControlSavesOnlyChangedDefaults()
{
    HorizontalScroller s;
    VariantMapPropertyBag bag;
    s.writeProperties(bag);
    const QStringList expected{QStringLiteral("ForeColor"), QStringLiteral("FontBold"),
                               QStringLiteral("FontName"), QStringLiteral("FontSize")};
    QCOMPARE(bag.writeOrder(), expected);
    QCOMPARE(bag.values().value(QStringLiteral("ForeColor")).toUInt(), 0xBBBBBBu);
    QCOMPARE(bag.values().value(QStringLiteral("FontBold")).toBool(), true);
    QCOMPARE(bag.values().value(QStringLiteral("FontName")).toString(),
             QStringLiteral("MS Sans Serif"));
    QCOMPARE(bag.values().value(QStringLiteral("FontSize")).toDouble(), 10.0);

    const QVariantMap viaMeta = s.saveProperties();
    QCOMPARE(viaMeta, bag.values());
}

void TestHorizontalScroller::missingPropertyLoadsItsDefault_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("expectedDefault");
    QTest::newRow("BackColor") << "BackColor" << QVariant(0x123456u) << QVariant(0x585858u);
    QTest::newRow("ForeColor") << "ForeColor" << QVariant(0x123456u) << QVariant(0xFF0000u);
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant(1) << QVariant(0);
    QTest::newRow("Enabled") << "Enabled" << QVariant(false) << QVariant(true);
    QTest::newRow("MousePointer") << "MousePointer" << QVariant(13) << QVariant(0);
    QTest::newRow("WhatsThisHelpID") << "WhatsThisHelpID" << QVariant(77) << QVariant(0);
    QTest::newRow("ToolTipText") << "ToolTipText" << QVariant(QStringLiteral("tip"))
                                 << QVariant(QString());
    QTest::newRow("MaskColor") << "MaskColor" << QVariant(0xFFu) << QVariant(0u);
    QTest::newRow("BackStyle") << "BackStyle" << QVariant(1) << QVariant(0);
    QTest::newRow("HyperLink") << "HyperLink" << QVariant(QUrl(QStringLiteral("http://127.0.0.1/")))
                               << QVariant(QUrl());
    QTest::newRow("TextColor") << "TextColor" << QVariant(0xFF00u) << QVariant(0u);
    QTest::newRow("FontBold") << "FontBold" << QVariant(true) << QVariant(false);
    QTest::newRow("FontItalic") << "FontItalic" << QVariant(true) << QVariant(false);
    QTest::newRow("FontName") << "FontName" << QVariant(QStringLiteral("Arial"))
                              << QVariant(QString());
    QTest::newRow("FontSize") << "FontSize" << QVariant(9.75) << QVariant(0.0);
    QTest::newRow("FontStrikethru") << "FontStrikethru" << QVariant(true) << QVariant(false);
    QTest::newRow("FontUnderline") << "FontUnderline" << QVariant(true) << QVariant(false);
}

void TestHorizontalScroller::missingPropertyLoadsItsDefault()
{
    QFETCH(QString, name);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, expectedDefault);
    const QByteArray prop = name.toLatin1();

    HorizontalScroller withValue;
    withValue.loadProperties({{name, stored}});
    QVERIFY(VariantMapPropertyBag::sameValue(withValue.property(prop.constData()), stored));

    // Loading runs after initialisation, so a missing name overrides the initial value too.
    HorizontalScroller without;
    without.loadProperties({});
    QVERIFY2(VariantMapPropertyBag::sameValue(without.property(prop.constData()), expectedDefault),
             qPrintable(without.property(prop.constData()).toString()));
    QVERIFY(without.saveProperties().isEmpty());
}

void TestHorizontalScroller::savedStateLoadsBackThroughSettings()
{
    HorizontalScroller s;
    QPixmap icon(16, 16);
    icon.fill(Qt::red);
    QPixmap mask(8, 8);
    mask.fill(Qt::blue);
    s.setBackColor(0x80000008u);
    s.setBorderStyle(1);
    s.setControlEnabled(false);
    s.setMouseIcon(icon);
    s.setMousePointer(99);
    s.setWhatsThisHelpId(42);
    s.setToolTipText(QStringLiteral("Double-click for more"));
    s.setMaskColor(0x00FF00u);
    s.setMaskPicture(mask);
    s.setBackStyle(1);
    s.setHyperLink(QUrl(QStringLiteral("http://127.0.0.1:8080/indices")));
    s.setTextColor(0xDDDDDDu);
    s.setFontItalic(true);
    s.setFontName(QStringLiteral("Arial"));
    s.setFontSize(9.75f);
    s.setFontStrikethru(true);
    s.setFontUnderline(true);
    s.setFontBold(false);
    const QVariantMap saved = s.saveProperties();

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("store.ini"));
    {
        QSettings store(file, QSettings::IniFormat);
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            store.setValue(it.key(), it.value());
    }
    QVariantMap reread;
    {
        QSettings store(file, QSettings::IniFormat);
        for (const QString &key : store.allKeys())
            reread.insert(key, store.value(key));
    }

    HorizontalScroller loaded;
    loaded.loadProperties(reread);
    for (const QString &name : HorizontalScroller::savedPropertyNames()) {
        const QByteArray prop = name.toLatin1();
        QVERIFY2(VariantMapPropertyBag::sameValue(loaded.property(prop.constData()),
                                                  s.property(prop.constData())),
                 qPrintable(name));
    }
    QCOMPARE(loaded.saveProperties().keys(), saved.keys());
    QVERIFY(!loaded.saveProperties().contains(QStringLiteral("FontBold")));
}

void TestHorizontalScroller::propertyWriteNotifiesByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QPixmap picture(4, 4);
    picture.fill(Qt::green);
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant::fromValue(short(1));
    QTest::newRow("Enabled") << "Enabled" << QVariant(false);
    QTest::newRow("MouseIcon") << "MouseIcon" << QVariant(picture);
    QTest::newRow("MousePointer") << "MousePointer" << QVariant::fromValue(short(13));
    QTest::newRow("ForeColor") << "ForeColor" << QVariant(0x30FFu);
    QTest::newRow("BackColor") << "BackColor" << QVariant(0x000000u);
    QTest::newRow("WhatsThisHelpID") << "WhatsThisHelpID" << QVariant(5);
    QTest::newRow("ToolTipText") << "ToolTipText" << QVariant(QStringLiteral("hint"));
    QTest::newRow("MaskColor") << "MaskColor" << QVariant(0xFFu);
    QTest::newRow("MaskPicture") << "MaskPicture" << QVariant(picture);
    QTest::newRow("BackStyle") << "BackStyle" << QVariant::fromValue(short(1));
    QTest::newRow("HyperLink") << "HyperLink"
                               << QVariant(QUrl(QStringLiteral("http://127.0.0.1/")));
    QTest::newRow("TextColor") << "TextColor" << QVariant(0xFF00u);
    QTest::newRow("FontBold") << "FontBold" << QVariant(false);
    QTest::newRow("FontItalic") << "FontItalic" << QVariant(true);
    QTest::newRow("FontName") << "FontName" << QVariant(QStringLiteral("Arial"));
    QTest::newRow("FontSize") << "FontSize" << QVariant(9.75f);
    QTest::newRow("FontStrikethru") << "FontStrikethru" << QVariant(true);
    QTest::newRow("FontUnderline") << "FontUnderline" << QVariant(true);
}

void TestHorizontalScroller::propertyWriteNotifiesByName()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    HorizontalScroller s;
    QSignalSpy changed(&s, &HorizontalScroller::PropertyChanged);
    const QByteArray prop = name.toLatin1();
    // The value is in place by the time the host hears of the change.
    QVariant seen;
    connect(&s, &HorizontalScroller::PropertyChanged, [&] { seen = s.property(prop.constData()); });

    QVERIFY(s.setProperty(prop.constData(), value));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toString(), name);
    QVERIFY(VariantMapPropertyBag::sameValue(s.property(prop.constData()), value));
    QVERIFY(VariantMapPropertyBag::sameValue(seen, value));
}

void TestHorizontalScroller::invalidPropertyValueIsRefused()
{
    HorizontalScroller s;
    QSignalSpy changed(&s, &HorizontalScroller::PropertyChanged);
    QSignalSpy errors(&s, &HorizontalScroller::Error);
    s.setMousePointer(13);
    s.setMousePointer(50);
    s.setBorderStyle(2);
    QCOMPARE(s.mousePointer(), short(13));
    QCOMPARE(s.borderStyle(), short(0));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.first().first().toInt(), 380);
    // Read-only properties cannot be written by name.
    QVERIFY(!s.setProperty("CurrentX", 5.0f));
    QVERIFY(!s.setProperty("Font", QFont()));
}

void TestHorizontalScroller::mouseAndKeyEventsAreRaised()
{
    HorizontalScroller s;
    s.resize(200, 20);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QWidget *draw = s.findChild<QWidget *>(QStringLiteral("Draw"));
    QVERIFY(draw);

    QSignalSpy down(&s, &HorizontalScroller::MouseDown);
    QSignalSpy up(&s, &HorizontalScroller::MouseUp);
    QSignalSpy move(&s, &HorizontalScroller::MouseMove);
    QSignalSpy click(&s, &HorizontalScroller::Click);
    QSignalSpy dbl(&s, &HorizontalScroller::DblClick);

    QTest::mousePress(draw, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
    QCOMPARE(down.size(), 1);
    QCOMPARE(down.first(), (QList<QVariant>{short(2), short(1), 10.0f, 5.0f}));
    QTest::mouseRelease(draw, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
    QCOMPARE(up.size(), 1);
    QCOMPARE(up.first().at(0).toInt(), 2);
    QCOMPARE(click.size(), 1);

    QTest::mouseDClick(draw, Qt::LeftButton, Qt::NoModifier, QPoint(30, 8));
    QCOMPARE(dbl.size(), 1);

    QMouseEvent drag(QEvent::MouseMove, QPointF(40, 6), draw->mapToGlobal(QPointF(40, 6)),
                     Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(draw, &drag);
    QCOMPARE(move.size(), 1);
    QCOMPARE(move.first(), (QList<QVariant>{short(1), short(2), 40.0f, 6.0f}));

    QSignalSpy keyDown(&s, &HorizontalScroller::KeyDown);
    QSignalSpy keyPress(&s, &HorizontalScroller::KeyPress);
    QSignalSpy keyUp(&s, &HorizontalScroller::KeyUp);
    draw->setFocus();
    QTest::keyClick(draw, Qt::Key_A);
    QTest::keyClick(draw, Qt::Key_F5, Qt::AltModifier);
    // A, then Alt going down with F5.
    QCOMPARE(keyDown.size(), 3);
    QCOMPARE(keyDown.at(0), (QList<QVariant>{short(65), short(0)}));
    QCOMPARE(keyDown.at(1).first().toInt(), 18);
    QCOMPARE(keyDown.at(2), (QList<QVariant>{short(116), short(4)}));
    QCOMPARE(keyPress.size(), 1);
    QCOMPARE(keyPress.first().first().toInt(), int('a'));
    QCOMPARE(keyUp.at(0), (QList<QVariant>{short(65), short(0)}));
    QCOMPARE(keyUp.at(1).first().toInt(), 116);
}

void TestHorizontalScroller::disabledControlRaisesNoMouseEvents()
{
    HorizontalScroller s;
    s.resize(100, 20);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QWidget *draw = s.findChild<QWidget *>(QStringLiteral("Draw"));
    QSignalSpy down(&s, &HorizontalScroller::MouseDown);
    s.setControlEnabled(false);
    QTest::mouseClick(draw, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(down.size(), 0);
    s.setControlEnabled(true);
    QTest::mouseClick(draw, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(down.size(), 1);
}

void TestHorizontalScroller::hidingRaisesHide()
{
    QWidget host;
    auto *s = new HorizontalScroller(&host);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QSignalSpy hidden(s, &HorizontalScroller::Hide);
    s->hide();
    QCOMPARE(hidden.size(), 1);
    s->show();
    host.hide();
    QCOMPARE(hidden.size(), 2);
}

void TestHorizontalScroller::passEndsPromptly_data()
{
    QTest::addColumn<QString>("during");
    QTest::addColumn<bool>("destroy");
    QTest::newRow("deleted while entering") << "enter" << true;
    QTest::newRow("deleted while holding") << "hold" << true;
    QTest::newRow("deleted during PS") << "ps" << true;
    QTest::newRow("hidden while holding") << "hold" << false;
    QTest::newRow("hidden during PS") << "ps" << false;
    QTest::newRow("hidden while armed, not started") << "armed" << false;
}

// Whatever stops the control, every wait nested inside the pass or PS unwinds at once instead
// of sitting out a 30-second hold, and a hidden strip draws nothing more.
void TestHorizontalScroller::passEndsPromptly()
{
    QFETCH(QString, during);
    QFETCH(bool, destroy);
    constexpr int Hold = 30000;
    QWidget host;
    host.resize(120, 20);
    QPointer<HorizontalScroller> s = new HorizontalScroller(&host);
    s->resize(120, 20);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    QElapsedTimer sinceStop;
    bool stopped = false;
    int framesAfterStop = 0;
    QList<ScrollerProbe::PassPhase> phases;
    QEventLoop outer;
    auto stop = [&] {
        stopped = true;
        sinceStop.start();
        // Runs inside the innermost wait; outer.exec() returns only once every nested wait
        // has unwound.
        QTimer::singleShot(0, &outer, &QEventLoop::quit);
        if (destroy)
            delete s.data();
        else
            s->hide();
    };
    connect(ScrollerProbe::of(*s), &ScrollerProbe::frameShown, this, [&] {
        framesAfterStop += stopped ? 1 : 0;
        if (during == QLatin1String("enter") && !stopped)
            QTimer::singleShot(0, &host, stop);
    });
    connect(ScrollerProbe::of(*s), &ScrollerProbe::passPhase, this,
            [&](int, ScrollerProbe::PassPhase phase) {
                phases.append(phase);
                if (during == QLatin1String("hold") && phase == ScrollerProbe::Hold)
                    QTimer::singleShot(20, &host, stop);
            });

    if (during == QLatin1String("ps")) {
        QTimer::singleShot(20, &host, stop);
        s->PS(Hold);
    } else if (during == QLatin1String("armed")) {
        // The slot is enabled but has not fired: hiding disarms it, no pass runs at all.
        s->DoScroll(QStringLiteral("INDEX"), 40, Hold, false);
        stop();
        QTest::qWait(50);
        QVERIFY(phases.isEmpty());
    } else {
        QTimer::singleShot(0, &host,
                           [&] { s->DoScroll(QStringLiteral("INDEX"), 40, Hold, false); });
        outer.exec();
    }

    QVERIFY(stopped);
    QVERIFY2(sinceStop.elapsed() < 5000, qPrintable(QString::number(sinceStop.elapsed())));
    QCOMPARE(s.isNull(), destroy);
    QCOMPARE(framesAfterStop, 0);
    if (!destroy && during != QLatin1String("ps")) {
        if (during != QLatin1String("armed"))
            QCOMPARE(phases.last(), ScrollerProbe::Aborted);
        QVERIFY(!ScrollerProbe::of(*s)->isBusy());
        QCOMPARE(ScrollerProbe::of(*s)->enabledSlotCount(), 0);
        // While hidden a request starts nothing.
        s->DoScroll(QStringLiteral("MORE"), 40, 0, false);
        QTest::qWait(50);
        QCOMPARE(ScrollerProbe::of(*s)->enabledSlotCount(), 0);
    }
}

void TestHorizontalScroller::foreColorDrawsInItsOwnHue_data()
{
    QTest::addColumn<uint>("foreColor");
    QTest::addColumn<QColor>("drawn");
    QTest::newRow("red") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("red-orange") << 0x0030FFu << QColor(255, 0x30, 0);
}

// ForeColor is 0x00BBGGRR: red in the low byte. The QColor property is the same colour.
void TestHorizontalScroller::foreColorDrawsInItsOwnHue()
{
    QFETCH(uint, foreColor);
    QFETCH(QColor, drawn);
    HorizontalScroller s;
    s.resize(200, 30);
    s.setForeColor(foreColor);
    QCOMPARE(s.foregroundColor(), drawn);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    auto *draw = s.findChild<Slidetape::ScrollerSurface *>(QStringLiteral("Draw"));

    int inHue = 0;
    int swapped = 0;
    connect(ScrollerProbe::of(s), &ScrollerProbe::passPhase, this,
            [&](int, ScrollerProbe::PassPhase phase) {
                if (phase != ScrollerProbe::Hold)
                    return;
                const QImage shown = draw->grab().toImage();
                const QColor mirrored(drawn.blue(), drawn.green(), drawn.red());
                for (int y = 0; y < shown.height(); ++y)
                    for (int x = 0; x < shown.width(); ++x) {
                        inHue += shown.pixelColor(x, y) == drawn ? 1 : 0;
                        swapped += shown.pixelColor(x, y) == mirrored ? 1 : 0;
                    }
            });
    s.DoScroll(QStringLiteral("WWWW"), 50, 0, false);
    QCOMPARE(s.accessibleName(), QStringLiteral("WWWW"));
    QTRY_VERIFY_WITH_TIMEOUT(!ScrollerProbe::of(s)->isBusy() && inHue + swapped > 0, LongWait);
    QVERIFY(inHue > 0);
    QCOMPARE(swapped, 0);

    s.setForegroundColor(drawn);
    QCOMPARE(s.foreColor(), foreColor);
}

void TestHorizontalScroller::fontSizeIsBounded_data()
{
    QTest::addColumn<float>("size");
    QTest::addColumn<bool>("fromStore");
    QTest::addColumn<float>("expected");
    QTest::newRow("8000 pt written") << 8000.0f << false << 500.0f;
    QTest::newRow("16000 pt stored") << 16000.0f << true << 500.0f;
    QTest::newRow("half a point") << 0.5f << false << 1.0f;
    QTest::newRow("negative: default size") << -3.0f << true << 0.0f;
    QTest::newRow("within bounds") << 72.0f << false << 72.0f;
}

// A huge size is brought within bounds; the size hint stays sane and the line's picture is no
// taller than what the strip can show of it.
void TestHorizontalScroller::fontSizeIsBounded()
{
    QFETCH(float, size);
    QFETCH(bool, fromStore);
    QFETCH(float, expected);
    HorizontalScroller s;
    s.resize(200, 30);
    if (fromStore)
        s.loadProperties({{QStringLiteral("FontSize"), double(size)}});
    else
        s.setFontSize(size);
    QCOMPARE(s.fontSize(), expected);
    QVERIFY(s.sizeHint().height() > 0 && s.sizeHint().width() > 0);

    PassLog log(s);
    s.DoScroll(QStringLiteral("BIG"), 60, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);
    const qreal ratio = ScrollerProbe::of(s)->buffer().devicePixelRatio();
    QVERIFY(ScrollerProbe::of(s)->linePictureSize().height() <= qCeil((30 + 16) * ratio));
}

void TestHorizontalScroller::savedEnabledIsTheControlsOwn_data()
{
    QTest::addColumn<bool>("parentEnabled");
    QTest::addColumn<bool>("ownEnabled");
    QTest::newRow("disabled window, enabled control") << false << true;
    QTest::newRow("disabled control") << true << false;
    QTest::newRow("both disabled") << false << false;
}

void TestHorizontalScroller::savedEnabledIsTheControlsOwn()
{
    QFETCH(bool, parentEnabled);
    QFETCH(bool, ownEnabled);
    QWidget window;
    auto *s = new HorizontalScroller(&window);
    s->setControlEnabled(ownEnabled);
    window.setEnabled(parentEnabled);
    QCOMPARE(s->isEnabled(), parentEnabled && ownEnabled);
    QCOMPARE(s->controlEnabled(), ownEnabled);
    QCOMPARE(s->saveProperties().value(QStringLiteral("Enabled"), true).toBool(), ownEnabled);
    // Enabling the window again restores the saved state, not a stale one.
    window.setEnabled(true);
    QCOMPARE(s->isEnabled(), ownEnabled);
}

// A line far wider than the strip is drawn piece by piece: the picture that frames copy from
// stays a few strip widths wide and is redrawn only now and then, yet every frame shows text.
void TestHorizontalScroller::wideLineDrawsOnlyWhatTheStripShows()
{
    HorizontalScroller s;
    s.resize(300, 24);
    s.setForeColor(0xFFFFFF);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    auto *draw = s.findChild<Slidetape::ScrollerSurface *>(QStringLiteral("Draw"));
    const QString text(1500, QLatin1Char('W'));
    int frames = 0;
    int blankFrames = 0;
    connect(ScrollerProbe::of(s), &ScrollerProbe::frameShown, this, [&](const QString &, int x) {
        ++frames;
        if (x < 250 && !hasInk(draw->shownFrame(), draw->backgroundColor(), QRect(0, 0, 300, 24)))
            ++blankFrames;
    });
    PassLog log(s);
    s.DoScroll(text, 150, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);

    const qreal ratio = ScrollerProbe::of(s)->buffer().devicePixelRatio();
    QVERIFY(frames > 60);
    QCOMPARE(blankFrames, 0);
    QVERIFY2(ScrollerProbe::of(s)->linePictureSize().width() <= qCeil(3 * 300 * ratio),
             qPrintable(QString::number(ScrollerProbe::of(s)->linePictureSize().width())));
    QCOMPARE(ScrollerProbe::of(s)->lineLayouts(), 1);
    QVERIFY2(ScrollerProbe::of(s)->pictureLayouts() <= frames / 3,
             qPrintable(QString::number(ScrollerProbe::of(s)->pictureLayouts())));
}

// A palette or font set on the widget becomes the strip's colours and font (the host hears
// of each property it changed), and the frame held on screen shows the new colours at once.
void TestHorizontalScroller::paletteAndFontGivenToTheWidgetAreFollowed()
{
    HorizontalScroller s;
    s.resize(200, 30);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    auto *draw = s.findChild<Slidetape::ScrollerSurface *>(QStringLiteral("Draw"));
    QSignalSpy changed(&s, &HorizontalScroller::PropertyChanged);
    const QColor yellow(255, 255, 0);
    bool heldInYellow = false;
    connect(ScrollerProbe::of(s), &ScrollerProbe::passPhase, this,
            [&](int, ScrollerProbe::PassPhase phase) {
                if (phase != ScrollerProbe::Hold)
                    return;
                QPalette palette = s.palette();
                palette.setColor(QPalette::Window, QColor(0, 0, 128));
                palette.setColor(QPalette::WindowText, yellow);
                s.setPalette(palette);
                const QImage shown = draw->shownFrame();
                for (int y = 0; y < shown.height() && !heldInYellow; ++y)
                    for (int x = 0; x < shown.width() && !heldInYellow; ++x)
                        heldInYellow = shown.pixelColor(x, y) == yellow;
            });
    PassLog log(s);
    s.DoScroll(QStringLiteral("WWWW"), 50, 0, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(ScrollerProbe::Done), 1, LongWait);
    QVERIFY(heldInYellow);
    QCOMPARE(s.backColor(), 0x800000u);
    QCOMPARE(s.foreColor(), 0x00FFFFu);

    changed.clear();
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(14);
    font.setItalic(true);
    font.setBold(false);
    s.setFont(font);
    QCOMPARE(s.fontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(s.fontSize(), 14.0f);
    QVERIFY(s.fontItalic());
    QVERIFY(!s.fontBold());
    QStringList names;
    for (const auto &args : changed)
        names << args.first().toString();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("FontBold"), QStringLiteral("FontItalic"),
                                 QStringLiteral("FontName"), QStringLiteral("FontSize")}));
}

void TestHorizontalScroller::changeSignalsFireOnlyOnAChange_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("notify");
    QTest::newRow("ForeColor") << "ForeColor" << QVariant(0x30FFu)
                               << QByteArray(SIGNAL(foreColorChanged()));
    QTest::newRow("FontBold") << "FontBold" << QVariant(false) << QByteArray(SIGNAL(fontChanged()));
    QTest::newRow("FontSize") << "FontSize" << QVariant(12.0f) << QByteArray(SIGNAL(fontChanged()));
    QTest::newRow("Enabled") << "Enabled" << QVariant(false)
                             << QByteArray(SIGNAL(controlEnabledChanged()));
    QTest::newRow("ToolTipText") << "ToolTipText" << QVariant(QStringLiteral("tip"))
                                 << QByteArray(SIGNAL(toolTipTextChanged()));
}

// Writing the value a property already has still tells the host of the write, but bindings
// hear only of real changes; loading an unchanged state raises nothing.
void TestHorizontalScroller::changeSignalsFireOnlyOnAChange()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, notify);
    HorizontalScroller s;
    QSignalSpy written(&s, &HorizontalScroller::PropertyChanged);
    QSignalSpy notified(&s, notify.constData());
    const QByteArray prop = name.toLatin1();
    QVERIFY(s.setProperty(prop.constData(), value));
    QVERIFY(s.setProperty(prop.constData(), value));
    QCOMPARE(written.size(), 2);
    QCOMPARE(notified.size(), 1);
    s.loadProperties(s.saveProperties());
    QCOMPARE(notified.size(), 1);
}

void TestHorizontalScroller::keyPressCarriesTheWholeCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("a") << QStringLiteral("a") << 0x61;
    QTest::newRow("e acute") << QStringLiteral("\u00E9") << 0xE9;
    QTest::newRow("full-width A, above 0x7FFF") << QStringLiteral("\uFF21") << 0xFF21;
    QTest::newRow("emoji, a surrogate pair") << QString::fromUcs4(U"\U0001F600") << 0x1F600;
}

void TestHorizontalScroller::keyPressCarriesTheWholeCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    HorizontalScroller s;
    QWidget *draw = s.findChild<QWidget *>(QStringLiteral("Draw"));
    QSignalSpy keyPress(&s, &HorizontalScroller::KeyPress);
    QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(draw, &event);
    QCOMPARE(keyPress.size(), 1);
    QCOMPARE(keyPress.first().first().toInt(), code);
}

void TestHorizontalScroller::designerAndScreenReadersSeeOneNamedControl_data()
{
    QTest::addColumn<QByteArray>("widgetProperty");
    QTest::addColumn<QByteArray>("controlProperty");
    QTest::newRow("enabled") << QByteArray("enabled") << QByteArray("Enabled");
    QTest::newRow("font") << QByteArray("font") << QByteArray("FontName");
    QTest::newRow("toolTip") << QByteArray("toolTip") << QByteArray("ToolTipText");
    QTest::newRow("colour") << QByteArray("foregroundColor") << QByteArray("ForeColor");
}

// Designer's property sheet shows each property once; screen readers find a static text
// with a translatable description and a named strip inside it.
void TestHorizontalScroller::designerAndScreenReadersSeeOneNamedControl()
{
    QFETCH(QByteArray, widgetProperty);
    QFETCH(QByteArray, controlProperty);
    const QMetaObject &meta = HorizontalScroller::staticMetaObject;
    const int a = meta.indexOfProperty(widgetProperty.constData());
    const int b = meta.indexOfProperty(controlProperty.constData());
    QVERIFY(a >= 0 && b >= 0);
    QVERIFY2(!(meta.property(a).isDesignable() && meta.property(b).isDesignable()),
             "both are listed");
    QVERIFY(meta.property(a).isDesignable() || meta.property(b).isDesignable());

    HorizontalScroller s;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&s);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::StaticText);
    QVERIFY(!s.accessibleDescription().isEmpty());
    QVERIFY(!s.findChild<QWidget *>(QStringLiteral("Draw"))->accessibleName().isEmpty());
}

// The plugin links this same library, so the control it creates is this library's class: one
// meta-object, and qobject_cast succeeds.
void TestHorizontalScroller::pluginCreatesThisLibrarysClass()
{
    const QString dir = qEnvironmentVariable("VANTORA_PLUGIN_DIR");
    QVERIFY2(!dir.isEmpty(), "the test harness names the build's lib/ folder");
    QPluginLoader loader(QDir(dir).filePath(QStringLiteral("libslidetape.so")));
    QObject *factory = loader.instance();
    QVERIFY2(factory, qPrintable(loader.errorString()));
    QWidget host;
    QWidget *control = nullptr;
    QVERIFY(QMetaObject::invokeMethod(
        factory, "create", Qt::DirectConnection, Q_RETURN_ARG(QWidget *, control),
        Q_ARG(QString, QStringLiteral("Slidetape.HorizontalScroller")), Q_ARG(QWidget *, &host)));
    QVERIFY(control);
    QCOMPARE(control->metaObject(), &HorizontalScroller::staticMetaObject);
    auto *scroller = qobject_cast<HorizontalScroller *>(control);
    QVERIFY(scroller);
    scroller->setFontSize(12);
    QCOMPARE(control->property("FontSize").toFloat(), 12.0f);
}

QTEST_MAIN(TestHorizontalScroller)
#include "tst_horizontalscroller.moc"
