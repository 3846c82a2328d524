#include "app/StockMain.h"
#include "app/TickerFeed.h"
#include "common/Colors.h"
#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/ScrollerHost.h"
#include "window/frmStockMain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Every colour of the quote grid, for comparing before and after printing.
struct GridColorState
{
    QList<QColor> colors;

    static GridColorState of(const FlexGrid &grid)
    {
        GridColorState s;
        s.colors << grid.fixedBackColor() << grid.fixedForeColor() << grid.backColor()
                 << grid.foreColor() << grid.backColorBkg();
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                s.colors << grid.cellBackColor(r, c) << grid.cellForeColor(r, c);
        return s;
    }
    bool operator==(const GridColorState &other) const { return colors == other.colors; }
};

} // namespace

class TestTickerFeed : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    // Turning replies into lines.
    void takeTickerLine_data();
    void takeTickerLine();
    void buildTickerItemFillsTheCurrentSlot();
    void lineColor_data();
    void lineColor();

    // The pass.
    void passScrollsTheLinesInTheirColours();
    void passWithScrollingOffHidesAndEmpties();
    void passWithNoLinesOnlyShowsTheStrip();

    // The strip's mouse actions.
    void threeDoubleClicksOpenCloseOpen();
    void rightClickOpensThePopUpMenu();
    void stripErrorsReachTheErrorBox();

    // The printed readout.
    void printsTheReadoutAndGivesTheColoursBack();
    void cancelledPrintLeavesEverything();

private:
    void startMain();
    FlexGrid *grid() const
    {
        return m_main->form()->findChild<FlexGrid *>(QStringLiteral("gridQuotes"));
    }
    QWidget *strip() const { return m_main->scroller()->widget(); }
    // The control draws on an inner surface, which is what the mouse reaches.
    QWidget *surface() const
    {
        QWidget *inner = strip()->childAt(QPoint(10, 5));
        return inner ? inner : strip();
    }

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<StockMain> m_main;
};

void TestTickerFeed::init()
{
    m_platform = std::make_unique<FakePlatform>();
    SettingsStore::clearAll();
}

void TestTickerFeed::cleanup()
{
    m_main.reset();
    m_platform.reset();
}

void TestTickerFeed::startMain()
{
    // No FirstRun: nothing is downloaded at start-up.
    m_main = std::make_unique<StockMain>();
    m_main->Form_Load();
    m_main->timScroll().stop();
    QVERIFY2(strip(), "the Slidetape library is found in the build's lib/ folder");
    m_main->form()->show();
}

// A value the strip refuses is reported like any run-time error: source, number, text.
void TestTickerFeed::stripErrorsReachTheErrorBox()
{
    startMain();
    QVERIFY(m_platform->messageBox.shown.isEmpty());
    m_main->scroller()->setControlProperty("BorderStyle", QVariant::fromValue(short(2)));
    QCOMPARE(m_platform->messageBox.shown.size(), 1);
    const auto &box = m_platform->messageBox.shown.constFirst();
    QCOMPARE(box.title, QStringLiteral("Error"));
    QVERIFY2(box.text.startsWith(QStringLiteral("Scroller1 Error # 380")), qPrintable(box.text));
    QVERIFY(box.text.contains(QStringLiteral("Invalid property value")));
}

void TestTickerFeed::takeTickerLine_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("left");

    const QString six(6, u' ');
    QTest::newRow("dow: name rule, time and trailing fields dropped")
        << "\"DJ INDU AVERAGE\",\"4:01pm - <b>10432.12</b>\",\"+12.30 - +0.12%\","
           "N/A,N/A,N/A,N/A,N/A,N/A\r\n"
        << "DJIA" + six + "10432.12" + six + "+12.30"
        << "";
    QTest::newRow("nasdaq rule")
        << "\"NAS/NMS COMPSITE\",\"4:01pm - <b>3912.48</b>\",\"-0.50 - -0.01%\",1,2,3,4,5,6\r\n"
        << "NASDAQ" + six + "3912.48" + six + "-0.50"
        << "";
    QTest::newRow("only the first matching rule: COMPOSITE, INDEX stays")
        << "\"NYSE COMPOSITE INDEX\",\"4:01pm - <b>652.31</b>\",\"+1.20 - +0.18%\",1,2,3,4,5,6\r\n"
        << "NYSE  INDEX" + six + "652.31" + six + "+1.20"
        << "";
    QTest::newRow("IDX leaves its blank")
        << "\"DJ COMMODITY SPOT IDX\",\"4:01pm - <b>119.73</b>\",\"+0.10 - +0.08%\",1,2,3,4,5,6\r\n"
        << "DJ COMMODITY SPOT " + six + "119.73" + six + "+0.10"
        << "";
    QTest::newRow("rules are case-sensitive")
        << "\"Nyse Composite\",\"4:01pm - <b>652.31</b>\",\"+1.20 - +0.18%\",1,2,3,4,5,6\r\n"
        << "Nyse Composite" + six + "652.31" + six + "+1.20"
        << "";
    QTest::newRow("Volume drops the last character")
        << "\"NYSE Volume\",\"4:01pm - <b>1234</b>\",\"+5 - +0.4%\",1,2,3,4,5,6\r\n"
        << "NYSE Volume" + six + "1234" + six + "+"
        << "";
    QTest::newRow("a thousands comma splits the value")
        << "\"DJ INDU AVERAGE\",\"4:01pm - <b>10,432.12</b>\",\"+12.30 - +0.12%\",1,2,3,4,5,6\r\n"
        << "DJIA" + six + "10" + six + "432.12" + six + "+12.30"
        << "";
    QTest::newRow("only the first line; the rest stays, cleaned")
        << "  \"DJ INDU AVERAGE\",\"4:01pm - <b>10432.12</b>\",\"+12.30 - +0.12%\",1,2,3,4,5,6\r\n"
           "\"S&P 500 INDEX\",\"4:01pm - <b>1412.45</b>\",\"-3.10 - -0.22%\",1,2,3,4,5,6\r\n"
        << "DJIA" + six + "10432.12" + six + "+12.30"
        << "S&P 500 INDEX\t4:01pm\t1412.45\t-3.10\t-0.22%\t1\t2\t3\t4\t5\t6\n";
    QTest::newRow("no line feed: nothing yet, the text waits")
        << " \"DJ INDU AVERAGE\",\"4:01pm - <b>10432.12</b>\" "
        << ""
        << "DJ INDU AVERAGE\t4:01pm\t10432.12";
    QTest::newRow("few fields: the seven cuts stop at the name") << "\"ODD\",1.5\r\n"
                                                                 << "ODD"
                                                                 << "";
    QTest::newRow("an empty reply") << ""
                                    << ""
                                    << "";
}

void TestTickerFeed::takeTickerLine()
{
    QFETCH(QString, reply);
    QFETCH(QString, line);
    QFETCH(QString, left);
    int pumps = 0;
    QCOMPARE(TickerFeed::takeTickerLine(reply, [&pumps] { ++pumps; }), line);
    QCOMPARE(reply, left);
    QVERIFY(pumps >= 7); // the window's events run while a line is built
}

void TestTickerFeed::buildTickerItemFillsTheCurrentSlot()
{
    startMain();
    MainState &state = m_main->state();
    state.TickerItems[9] = QStringLiteral("old line");
    state.TickerItems[10] = QStringLiteral("neighbour");
    state.TickerIndex = 9;
    state.ReplyText = QStringLiteral("\"AMEX INTERNET INDEX\",\"4:01pm - <b>88.10</b>\","
                                     "\"-1.10 - -1.2%\",1,2,3,4,5,6\r\n");
    m_main->tickerFeed().BuildTickerItem();
    QCOMPARE(state.TickerItems[9], QStringLiteral("AMEX INTERNET       88.10      -1.10"));
    QCOMPARE(state.TickerItems[10], QStringLiteral("neighbour"));
    QVERIFY(state.ReplyText.isEmpty());

    // Without a line feed the slot is emptied and the text kept for the next index.
    state.ReplyText = QStringLiteral("\"AMEX");
    m_main->tickerFeed().BuildTickerItem();
    QCOMPARE(state.TickerItems[9], QString());
    QCOMPARE(state.ReplyText, QStringLiteral("AMEX"));
}

void TestTickerFeed::lineColor_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<quint32>("color");
    QTest::newRow("no sign") << "DJIA      10432.12      0.00" << quint32(0xDDDDDD);
    QTest::newRow("minus") << "DJIA      10432.12      -3.10" << quint32(0x30FF);
    QTest::newRow("plus") << "DJIA      10432.12      +3.10" << quint32(0xFF00);
    QTest::newRow("both: plus wins")
        << "DJIA      10432.12      -3.10      +0.1" << quint32(0xFF00);
    QTest::newRow("signs within the first 15 characters")
        << "S-P+ 500       1412.45" << quint32(0xDDDDDD);
    QTest::newRow("minus as 15th character") << QString(14, u'x') + "-" << quint32(0xDDDDDD);
    QTest::newRow("minus as 16th character") << QString(15, u'x') + "-" << quint32(0x30FF);
    QTest::newRow("plus as 16th character") << QString(15, u'x') + "+" << quint32(0xFF00);
    QTest::newRow("empty") << "" << quint32(0xDDDDDD);
}

void TestTickerFeed::lineColor()
{
    QFETCH(QString, line);
    QFETCH(quint32, color);
    QCOMPARE(TickerFeed::lineColor(line), color);
}

void TestTickerFeed::passScrollsTheLinesInTheirColours()
{
    startMain();
    frmOptions *options = m_main->options();
    options->findChild<QCheckBox *>(QStringLiteral("chkScroll"))->setChecked(true);
    options->findChild<QCheckBox *>(QStringLiteral("chkPauseScroll"))->setChecked(false);
    auto *slider = options->findChild<QSlider *>(QStringLiteral("ScrollSlider"));
    slider->setValue(slider->maximum());
    strip()->hide();

    MainState &state = m_main->state();
    const QString falling = QStringLiteral("DJIA      10432.12      -12.30");
    const QString rising = QStringLiteral("NASDAQ      3912.48      +0.50");
    const QString flat = QStringLiteral("NYSE-  +      652.31      0.00");
    state.TickerItems[42] = falling;
    state.TickerItems[0] = rising;
    state.TickerItems[11] = flat;

    struct Shown
    {
        int index;
        QString line;
        quint32 color;
        quint32 stripColor;
    };
    QList<Shown> shown;
    TickerFeed &ticker = m_main->tickerFeed();
    connect(&ticker, &TickerFeed::lineScrolled, this,
            [&](int index, const QString &line, quint32 color) {
                shown.append({index, line, color, m_main->scroller()->foreColor()});
            });
    QSignalSpy finished(&ticker, &TickerFeed::passFinished);

    // A tick while the pass runs does nothing: the lines are shown once each.
    QTimer::singleShot(10, &ticker, [&ticker] { ticker.timScroll_Timer(); });
    ticker.timScroll_Timer();

    QCOMPARE(finished.size(), 1);
    QVERIFY(strip()->isVisible());
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown[0].index, 0);
    QCOMPARE(shown[0].line, rising);
    QCOMPARE(shown[0].color, TickerFeed::Rising);
    QCOMPARE(shown[1].index, 11);
    QCOMPARE(shown[1].color, TickerFeed::Unchanged);
    QCOMPARE(shown[2].index, 42);
    QCOMPARE(shown[2].color, TickerFeed::Falling);
    for (const Shown &s : shown)
        QCOMPARE(s.stripColor, s.color);
    // The lines stay for the next pass.
    QCOMPARE(state.TickerItems[42], falling);
}

void TestTickerFeed::passWithScrollingOffHidesAndEmpties()
{
    startMain();
    m_main->options()->findChild<QCheckBox *>(QStringLiteral("chkScroll"))->setChecked(false);
    MainState &state = m_main->state();
    state.TickerItems[0] = QStringLiteral("DJIA      10432.12      -12.30");
    state.TickerItems[42] = QStringLiteral("XAU      88.10      +1.10");
    QSignalSpy lines(&m_main->tickerFeed(), &TickerFeed::lineScrolled);
    m_main->tickerFeed().timScroll_Timer();

    QVERIFY(!strip()->isVisible());
    QVERIFY(lines.isEmpty());
    QCOMPARE(state.TickerItems.size(), TickerFeed::ItemCount);
    for (const QString &item : state.TickerItems)
        QVERIFY(item.isEmpty());
}

void TestTickerFeed::passWithNoLinesOnlyShowsTheStrip()
{
    startMain();
    m_main->options()->findChild<QCheckBox *>(QStringLiteral("chkScroll"))->setChecked(true);
    strip()->hide();
    QSignalSpy lines(&m_main->tickerFeed(), &TickerFeed::lineScrolled);
    m_main->tickerFeed().timScroll_Timer();
    QVERIFY(strip()->isVisible());
    QVERIFY(lines.isEmpty());
    QVERIFY(!m_main->tickerFeed().passRunning());
}

void TestTickerFeed::threeDoubleClicksOpenCloseOpen()
{
    startMain();
    MainState &state = m_main->state();
    state.IndicesURL = QStringLiteral("http://127.0.0.1:47110/m1?u");
    state.ActiveButton = QStringLiteral("cmdNews");
    state.BrowserOpen = true; // another page is open in the tray
    // The index page opens in the panel's browser.
    const auto indexLoads = [&] {
        const FakeWebBrowser *browser = m_platform->browsers.last;
        return browser ? browser->navigated.count(state.IndicesURL) : 0;
    };

    QTest::mouseDClick(surface(), Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(indexLoads(), 1);
    QVERIFY(state.BrowserOpen);
    QCOMPARE(state.ActiveButton, QStringLiteral("IndicesURL"));

    QTest::mouseDClick(surface(), Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(indexLoads(), 1);
    QVERIFY(!state.BrowserOpen);

    QTest::mouseDClick(surface(), Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(indexLoads(), 2);
    QVERIFY(state.BrowserOpen);
    QCOMPARE(state.ActiveButton, QStringLiteral("IndicesURL"));
}

void TestTickerFeed::rightClickOpensThePopUpMenu()
{
    startMain();
    auto *menu = m_main->form()->findChild<QMenu *>(QStringLiteral("MnuVantora"));
    QVERIFY(menu);
    QCOMPARE(m_main->tickerFeed().popupMenu(), menu);
    QTest::mousePress(surface(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseRelease(surface(), Qt::LeftButton, {}, QPoint(10, 5));
    QVERIFY(!menu->isVisible());
    QTest::mousePress(surface(), Qt::RightButton, {}, QPoint(10, 5));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void TestTickerFeed::printsTheReadoutAndGivesTheColoursBack()
{
    startMain();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    m_platform->printer.outputFile = dir.filePath(QStringLiteral("readout.pdf"));
    FlexGrid *quotes = grid();
    QVERIFY(quotes->rows() > 2);
    quotes->setTextMatrix(1, 0, QStringLiteral("MSFT"));
    quotes->setCellForeColor(1, 4, Colors::fromBgr(Colors::Rise));
    quotes->setCellBackColor(2, 6, Colors::fromBgr(Colors::HighAlert));
    const GridColorState before = GridColorState::of(*quotes);
    const QString header = quotes->textMatrix(0, 4);

    auto *button = m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdPrintTicker"));
    QVERIFY(button);
    button->click();

    QCOMPARE(m_platform->dialogs.printDialogs, 1);
    const QFileInfo pdf(m_platform->printer.outputFile);
    QVERIFY(pdf.exists());
    QVERIFY(pdf.size() > 0);
    QVERIFY(GridColorState::of(*quotes) == before);
    QCOMPARE(quotes->cellForeColor(1, 4), Colors::fromBgr(Colors::Rise));
    QCOMPARE(quotes->textMatrix(0, 4), header);
    QVERIFY(quotes->isVisible());
    QVERIFY(quotes->redraw());
}

void TestTickerFeed::cancelledPrintLeavesEverything()
{
    startMain();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    m_platform->printer.outputFile = dir.filePath(QStringLiteral("readout.pdf"));
    m_platform->dialogs.printAccepted = false;
    FlexGrid *quotes = grid();
    quotes->setCellBackColor(1, 1, Colors::fromBgr(Colors::Fall));
    const GridColorState before = GridColorState::of(*quotes);

    m_main->form()->findChild<QAbstractButton *>(QStringLiteral("cmdPrintTicker"))->click();

    QCOMPARE(m_platform->dialogs.printDialogs, 1);
    QVERIFY(!QFileInfo::exists(m_platform->printer.outputFile));
    QVERIFY(GridColorState::of(*quotes) == before);
    QVERIFY(m_platform->messageBox.shown.isEmpty());
}

QTEST_MAIN(TestTickerFeed)
#include "tst_tickerfeed.moc"
