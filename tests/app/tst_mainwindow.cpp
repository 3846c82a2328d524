#include "app/StockMain.h"
#include "app/WindowModes.h"
#include "common/Colors.h"
#include "common/Twips.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "settings/SettingsStore.h"
#include "support/QuoteAnswers.h"
#include "support/TestDoubles.h"
#include "ui_frmOptions.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <QtTest>

namespace {

const QString kDefault = QStringLiteral("Settings\\Portfolios\\Default");
const QString kQuotePath = QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=");

int px(double twips)
{
    return Twips::toPixels(twips);
}

} // namespace

// The main window's modes, widths, notification area, row moves, pop-up menu and help.
class TestMainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakePlatform> m_platform;
    std::shared_ptr<ScriptedSource> m_source;
    std::unique_ptr<QuoteFeed> m_feed;
    std::unique_ptr<StockMain> m_main;

    frmStockMain *mainForm() const { return m_main->form(); }
    QMenu *menu() const { return m_main->form()->findChild<QMenu *>(QStringLiteral("MnuVantora")); }
    QAction *item(const char *name) const
    {
        return m_main->form()->findChild<QAction *>(QLatin1String(name));
    }
    void start()
    {
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"), "1");
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("StockURL"),
                             m_feed->baseUrl() + kQuotePath);
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("MarketURL"),
                             m_feed->baseUrl() + "/download/quotes.csv?f=nk1k2=.csv&s=");
        m_main = std::make_unique<StockMain>();
        m_main->windowModes().setScreenWidthTwips([] { return 19200.0; });
        m_main->Form_Load();
        m_platform->programs.urls.clear(); // the page the start-up check opened
        for (QCheckBox *box : m_main->options()->chkIndex)
            box->setChecked(false);
    }
    void verifyMode(bool ticker)
    {
        QCOMPARE(m_main->state().WindowMode, ticker ? "Ticker" : "Browser");
        QCOMPARE(SettingsStore::read(kDefault, "Mode"), m_main->state().WindowMode);
        QCOMPARE(m_main->form()->size(),
                 ticker ? QSize(px(10050), px(8010)) : QSize(px(12045), px(2095)));
        QCOMPARE(mainForm()->gridQuotes()->height(), px(ticker ? 7060 : 1235));
        QCOMPARE(mainForm()->picPanel()->y(), px(ticker ? 7300 : 1500));
        QCOMPARE(mainForm()->WebBrowser1Frame()->isHidden(), ticker);
        QCOMPARE(mainForm()->cmdPrintTicker()->isHidden(), !ticker);
        QCOMPARE(item("mnuTickerScroller")->isChecked(), ticker);
        QCOMPARE(item("mnuTickerBrowser")->isChecked(), !ticker);
        QCOMPARE(item("mnuBTV")->isEnabled(), !ticker);
        QCOMPARE(menu()->findChild<QMenu *>("mnuData")->menuAction()->isEnabled(), !ticker);
    }

private Q_SLOTS:
    void init()
    {
        SettingsStore::clearAll();
        m_platform = std::make_unique<FakePlatform>();
        m_source = std::make_shared<ScriptedSource>(std::make_shared<MarketSource>(3));
        m_feed = std::make_unique<QuoteFeed>(m_source);
        QVERIFY(m_feed->start(QHostAddress::LocalHost, 0) != 0);
    }
    void cleanup()
    {
        m_main.reset();
        m_feed.reset();
        m_platform.reset();
    }

    // Every caption of the window and every heading of the grid is shown whole, the grid's
    // headings with a gap between neighbours, in both quote modes.
    void nothingClipped_data()
    {
        QTest::addColumn<bool>("realTime");
        QTest::newRow("delayed") << false;
        QTest::newRow("real-time") << true;
    }
    void nothingClipped()
    {
        QFETCH(bool, realTime);
        start();
        m_main->state().RealTimeMode = realTime;
        m_main->quoteGrid().SizeColumns();
        for (QLabel *label : m_main->form()->findChildren<QLabel *>()) {
            const QString text = label == mainForm()->lblDelayNotice()
                                     ? QuoteDownload::delayNoticeText()
                                     : label->text();
            QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width(),
                     qPrintable(label->objectName()));
        }
        FlexGrid *grid = mainForm()->gridQuotes();
        const QFontMetrics metrics(grid->font());
        for (int c = 0; c < grid->cols(); ++c) {
            const QString heading = QuoteGrid::headers(realTime).at(c);
            QCOMPARE(grid->textMatrix(0, c), heading);
            QVERIFY2(grid->colWidth(c) - metrics.horizontalAdvance(heading) >=
                         metrics.horizontalAdvance(QStringLiteral("  ")),
                     qPrintable(heading));
        }
    }

    void modeSwitch_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("picture") << false;
        QTest::newRow("menu") << true;
    }
    void modeSwitch()
    {
        QFETCH(bool, byMenu);
        start();
        verifyMode(false);
        for (bool ticker : {true, false}) {
            if (byMenu) {
                // The checked view item changes nothing; the other one switches.
                item(ticker ? "mnuTickerBrowser" : "mnuTickerScroller")->trigger();
                verifyMode(!ticker);
                item(ticker ? "mnuTickerScroller" : "mnuTickerBrowser")->trigger();
            } else {
                QTest::mouseClick(mainForm()->picTickerSize(), Qt::LeftButton);
            }
            verifyMode(ticker);
        }
    }

    void widthToggleFromTickerMode()
    {
        start();
        QTest::mouseClick(mainForm()->picTickerSize(), Qt::LeftButton);
        // The control box stays within the narrower window.
        QVERIFY(m_main->form()->rect().contains(mainForm()->picControlBox()->geometry()));
        QTest::mouseClick(mainForm()->picMaxWide(), Qt::LeftButton);
        QCOMPARE(m_main->form()->width(), px(19200));
        QCOMPARE(m_main->form()->pos(), m_main->form()->screen()->geometry().topLeft());
        QCOMPARE(mainForm()->picMaxWide()->toolTip(), "Click to reduce width to 800 pixels");
        QVERIFY(mainForm()->WebBrowser1Frame()->isHidden()); // ticker mode has no browser
        // The taller window gives the browser its height less the margin.
        QCOMPARE(mainForm()->WebBrowser1Frame()->height(), px(8010 - 2800));
        // Back to browser mode: narrow first, then the browser layout.
        QTest::mouseClick(mainForm()->picTickerSize(), Qt::LeftButton);
        verifyMode(false);
        QCOMPARE(mainForm()->picMaxWide()->toolTip(), "Click to extend width to 1024 pixels");
    }

    void notificationArea_data()
    {
        QTest::addColumn<bool>("available");
        QTest::newRow("notification area") << true;
        QTest::newRow("none") << false;
    }
    void notificationArea()
    {
        QFETCH(bool, available);
        m_platform->tray.available = available;
        start();
        QTest::mouseClick(mainForm()->picControlBox(), Qt::LeftButton);
        QCOMPARE(m_platform->tray.shown, available);
        QVERIFY(m_main->form()->isMinimized());
        QCOMPARE(m_main->form()->isVisible(), !available);
        if (!available)
            return;
        QCOMPARE(m_platform->tray.toolTip, "Vantora Stock Quote Monitor");
        Q_EMIT m_platform->tray.activated(); // a single click
        QVERIFY(!m_main->form()->isVisible());
        Q_EMIT m_platform->tray.doubleClicked();
        QVERIFY(m_main->form()->isVisible());
        QVERIFY(!m_main->form()->isMinimized());
        QVERIFY(!m_platform->tray.shown);
        QTest::mouseClick(mainForm()->picControlBox(), Qt::LeftButton);
        m_main->cmdExit_Click();
        QVERIFY(!m_platform->tray.shown);
    }

    void rowMoveKeepsEachSymbolsHistory()
    {
        const auto answer = [](QList<QByteArrayList> rows) {
            QByteArray text;
            for (const QByteArrayList &r : rows)
                text += quoteLine(r[0].constData(), r[1].constData(), r[1].constData());
            return FeedReply::text(text);
        };
        m_source->enqueue(
            answer({{"MSFT", "50.00"}, {"CSCO", "20.00"}, {"IBM", "90.00"}, {"DELL", "30.00"}}));
        start();
        FlexGrid *grid = mainForm()->gridQuotes();
        grid->setRow(2);
        QTest::mouseClick(mainForm()->picMoveUp(), Qt::LeftButton);
        QCOMPARE(grid->row(), 1);
        grid->setRow(3);
        QTest::mouseClick(mainForm()->picMoveDown(), Qt::LeftButton);
        grid->setRow(1);
        QTest::mouseClick(mainForm()->picMoveUp(), Qt::LeftButton); // first row: nothing moves
        const QStringList order{"CSCO", "MSFT", "DELL", "IBM"};
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(m_main->options()->ui->gridSymbols->textMatrix(r, 0), order[r - 1]);

        // The same prices in the new order: nothing rose, nothing fell.
        m_source->enqueue(
            answer({{"CSCO", "20.00"}, {"MSFT", "50.00"}, {"DELL", "30.00"}, {"IBM", "90.00"}}));
        m_main->GetQuotes();
        QCOMPARE(m_source->requests().last(), kQuotePath + "csco,msft,dell,ibm,");
        for (int r = 1; r <= 4; ++r) {
            QCOMPARE(grid->textMatrix(r, 0), order[r - 1]);
            QCOMPARE(grid->cellForeColor(r, 4), Colors::fromBgr(m_main->state().GridTextColor));
        }
    }

    void menuTree()
    {
        start();
        QStringList tree;
        const std::function<void(QMenu *, const QString &)> walk = [&](QMenu *m,
                                                                       const QString &in) {
            for (QAction *a : m->actions()) {
                tree << in + (a->isSeparator() ? QStringLiteral("-") : a->text());
                if (a->menu())
                    walk(a->menu(), in + u' ');
            }
        };
        walk(menu(), QString());
        QCOMPARE(menu()->title(), "Vantora Options");
        QCOMPARE(tree, QStringList({"Update &Quotes",
                                    "-",
                                    "Stock &Data",
                                    " C&harts",
                                    " &News",
                                    " &Research",
                                    " &Screener",
                                    " Symbol &Lookup",
                                    " &Island Book Viewer",
                                    " I&POs",
                                    "&Tools",
                                    " &Calculator",
                                    " -",
                                    " Read/&Edit Trade Log",
                                    " Read/Edit Q&uote Log",
                                    " -",
                                    " &Print Ticker",
                                    "&Media",
                                    " Bloomberg T&V Live",
                                    " &Bloomberg Radio",
                                    "-",
                                    "&Options",
                                    " S&ymbols, Alerts, and Sorting",
                                    " Portfolio Value And Tr&ade Tracking",
                                    " Settin&gs And Portfolio Selection",
                                    " &U.S. Indices",
                                    "-",
                                    "&View",
                                    " Ticker/Bro&wser",
                                    " Tic&ker/Scroller",
                                    "-",
                                    "&Help",
                                    "-",
                                    "E&xit"}));

        // While quotes download the menu is hidden: a right-click shows nothing.
        menu()->menuAction()->setVisible(false);
        QTest::mouseClick(mainForm()->picPanel(), Qt::RightButton);
        QVERIFY(!menu()->isVisible());
        menu()->menuAction()->setVisible(true);
        QTest::mouseClick(mainForm()->picBezelRight(), Qt::RightButton);
        QVERIFY(menu()->isVisible());
        menu()->close();
        // The quote grid's right-click opens the same menu.
        QTest::mouseClick(mainForm()->gridQuotes()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(menu()->isVisible());
        // Assistive tools find the items by their captions.
        QAccessibleInterface *open = QAccessible::queryAccessibleInterface(menu());
        QVERIFY(open && open->childCount() > 0);
        QCOMPARE(open->child(0)->text(QAccessible::Name), "Update Quotes");
        menu()->close();

        item("mnuCalculator")->trigger();
        QCOMPARE(m_platform->programs.calculatorStarts, 1);
        item("mnuSettings")->trigger();
        QVERIFY(m_main->options()->isVisible());
        QCOMPARE(m_main->options()->ui->SSTab1->currentIndex(), 2);
    }

    void keyboard()
    {
        start();
        QWidget *form = m_main->form();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_F1);
        QCOMPARE(m_platform->programs.urls.size(), 1);
        QVERIFY(m_platform->programs.urls[0].toLocalFile().endsWith("/Vantora.html"));
        QVERIFY(QFile::exists(m_platform->programs.urls[0].toLocalFile()));
        item("mnuHelp")->trigger();
        QCOMPARE(m_platform->programs.urls.size(), 2);

        QTest::keyClick(form, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(menu()->isVisible());
        QVERIFY(mainForm()->gridQuotes()->rect().contains(
            mainForm()->gridQuotes()->mapFromGlobal(menu()->pos())));
        menu()->close();

        mainForm()->picCalc()->setFocus();
        QTest::keyClick(mainForm()->picCalc(), Qt::Key_Return);
        QCOMPARE(m_platform->programs.calculatorStarts, 1);

        m_main->options()->show();
        m_main->options()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main->options()));
        QTest::keyClick(m_main->options(), Qt::Key_F1);
        QCOMPARE(m_platform->programs.urls.size(), 3);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
