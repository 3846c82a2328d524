#include "app/SettingsIO.h"
#include "app/StockMain.h"
#include "app/WindowModes.h"
#include "browser/BrowserPanel.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "screen/Colors.h"
#include "screen/Twips.h"
#include "settings/SettingsStore.h"
#include "support/QuoteAnswers.h"
#include "support/TestDoubles.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>
#include <QtTest>

namespace {

const QString kDefault = QStringLiteral("Settings\\Portfolios\\Default");
const QString kQuotePath = QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=");

int px(double twips, int zoom = 100)
{
    return Twips::toPixels(twips * zoom / 100.0);
}

// What of a window is cut off: controls that show something (a text, a picture, a value)
// and reach outside their parent or the window, and texts wider than their room (the delay
// notice at its longest text). Frames and plain stripes may run past the window's edge, as
// the browser's place does below a closed tray.
QStringList clipped(QWidget &window)
{
    QStringList faults;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (w->isWindow() || !w->isVisibleTo(&window) || name.isEmpty() || name.startsWith("qt_"))
            continue;
        auto *label = qobject_cast<QLabel *>(w);
        auto *button = qobject_cast<QAbstractButton *>(w);
        const bool shows = (label && !(label->text().isEmpty() && label->pixmap().isNull())) ||
                           button || qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                           qobject_cast<QAbstractSlider *>(w) ||
                           qobject_cast<QAbstractItemView *>(w);
        const QRect inWindow(w->mapTo(&window, QPoint()), w->size());
        if (shows && !(w->parentWidget()->rect().contains(w->geometry()) &&
                       window.rect().contains(inWindow)))
            faults << name + " cut off";
        QString text = label ? label->text() : button ? button->text().remove('&') : QString();
        if (name == "lblDelayNotice")
            text = QuoteDownload::delayNoticeText();
        if (text.isEmpty() || Qt::mightBeRichText(text))
            continue;
        // Controls in a layout get the room they ask for, or less when it is short; the others
        // have their room of the window's design.
        const bool short_ =
            w->parentWidget()->layout() && !label
                ? w->width() < w->sizeHint().width()
                : w->fontMetrics().horizontalAdvance(text) > w->contentsRect().width();
        if (short_)
            faults << name + " clips \"" + text + "\"";
    }
    return faults;
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
    void verifyMode(bool ticker, int zoom = 100)
    {
        QCOMPARE(m_main->state().WindowMode, ticker ? "Ticker" : "Browser");
        QCOMPARE(SettingsStore::read(kDefault, "Mode"), m_main->state().WindowMode);
        QCOMPARE(m_main->form()->size(), ticker ? QSize(px(10050, zoom), px(8010, zoom))
                                                : QSize(px(12045, zoom), px(2095, zoom)));
        QCOMPARE(mainForm()->gridQuotes()->height(), px(ticker ? 7060 : 1235, zoom));
        QCOMPARE(mainForm()->picPanel()->y(), px(ticker ? 7300 : 1500, zoom));
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

    // The window at a zoom: every twips size scaled, every control inside its parent, and
    // every caption, heading and text of both windows shown whole, in both layouts, at both
    // widths and with the tray open. A stored zoom that is no step comes back as a step.
    void zoomedLayout_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("realTime");
        QTest::newRow("100") << "100" << 100 << false;
        QTest::newRow("200 real-time") << "200" << 200 << true;
        QTest::newRow("between steps") << "190" << 200 << false;
        QTest::newRow("not a number") << "large" << 100 << true;
    }
    void zoomedLayout()
    {
        QFETCH(QString, stored);
        QFETCH(int, zoom);
        QFETCH(bool, realTime);
        SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("Zoom"), stored);
        start();
        QCOMPARE(m_main->form()->zoom(), zoom);
        QCOMPARE(m_main->options()->cboWindowSize()->currentText(), QString("%1%").arg(zoom));
        m_main->state().RealTimeMode = realTime;
        m_main->quoteGrid().SizeColumns();
        m_main->quoteGrid().AddLabels();
        m_main->browserPanel().setScreenHeightTwips([] { return 9000.0; });
        QWidget *form = m_main->form();
        const auto check = [&](const QString &layout) {
            const QStringList faults = clipped(*form);
            QVERIFY2(faults.isEmpty(), qPrintable(layout + ": " + faults.join(", ")));
        };
        // The Options window's texts, tab by tab.
        frmOptions *options = m_main->options();
        options->show();
        for (int tab = 0; tab < options->SSTab1()->count(); ++tab) {
            options->SSTab1()->setCurrentIndex(tab);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QStringList faults = clipped(*options);
            QVERIFY2(faults.isEmpty(),
                     qPrintable(options->SSTab1()->tabText(tab) + ": " + faults.join(", ")));
        }
        options->hide();
        verifyMode(false, zoom);
        check("browser");

        FlexGrid *grid = mainForm()->gridQuotes();
        const QFontMetrics metrics(grid->font());
        for (int c = 0; c < grid->cols(); ++c) {
            const QString heading = QuoteGrid::headers(realTime).at(c);
            QCOMPARE(grid->textMatrix(0, c), heading);
            QVERIFY(grid->colWidth(c) >= px(QuoteGrid::columnWidthTwips(c, realTime), zoom));
            QVERIFY2(grid->colWidth(c) - metrics.horizontalAdvance(heading) >=
                         metrics.horizontalAdvance(QStringLiteral("  ")),
                     qPrintable(heading));
        }

        QTest::mouseClick(mainForm()->picMaxWide(), Qt::LeftButton);
        QCOMPARE(form->width(), px(19200, zoom));
        check("wide");
        QTest::mouseClick(mainForm()->picMaxWide(), Qt::LeftButton);
        QCOMPARE(form->width(), px(12045, zoom));

        m_main->browserPanel().ToggleBrowserTray();
        QCOMPARE(form->height(), px(9000 - 400, zoom));
        check("tray open");
        m_main->browserPanel().ToggleBrowserTray();
        QCOMPARE(form->height(), px(2095, zoom));

        QTest::mouseClick(mainForm()->picTickerSize(), Qt::LeftButton);
        verifyMode(true, zoom);
        check("ticker");
    }

    // Ctrl+Plus (or Ctrl+=), Ctrl+Minus and Ctrl+0 step the zoom within its steps, the list
    // in the Options window sets it too, and each change is stored at once. Sizes set in
    // twips, dragged column widths among them, keep their twips.
    void zoomKeysAndList()
    {
        start();
        QWidget *form = m_main->form();
        FlexGrid *grid = mainForm()->gridQuotes();
        grid->setColWidth(12, px(3000));
        const auto stored = [] {
            return SettingsStore::read(QStringLiteral("Settings"), "Zoom", "100");
        };
        const struct
        {
            QKeyCombination keys;
            int zoom;
        } steps[] = {{Qt::CTRL | Qt::Key_Minus, 100}, {Qt::CTRL | Qt::Key_Plus, 125},
                     {Qt::CTRL | Qt::Key_Equal, 150}, {Qt::CTRL | Qt::Key_Equal, 175},
                     {Qt::CTRL | Qt::Key_Plus, 200},  {Qt::CTRL | Qt::Key_Plus, 200},
                     {Qt::CTRL | Qt::Key_Minus, 175}, {Qt::CTRL | Qt::Key_0, 100}};
        for (const auto &step : steps) {
            QTest::keyClick(form, step.keys.key(), step.keys.keyboardModifiers());
            QCOMPARE(m_main->form()->zoom(), step.zoom);
            QCOMPARE(stored(), QString::number(step.zoom));
            // Each edge where its twips put it, give or take the pixel of rounding.
            const QRect at = mainForm()->gridQuotes()->geometry();
            for (auto [edge, twips] : {std::pair{at.left(), 195},
                                       {at.top(), 230},
                                       {at.right() + 1, 195 + 9645},
                                       {at.bottom() + 1, 230 + 1235},
                                       {form->width(), 12045},
                                       {form->height(), 2095}})
                QVERIFY2(qAbs(edge - px(twips, step.zoom)) <= 1,
                         qPrintable(QString::number(twips)));
            QVERIFY(qAbs(grid->colWidth(12) - px(3000, step.zoom)) <= 1);
            // Pictures are drawn anew at the zoom's size, not stretched.
            const QSize calc = ImageList::instance().size(ImageList::Calculator) * step.zoom / 100;
            QCOMPARE(mainForm()->picCalc()->pixmap().deviceIndependentSize().toSize(), calc);
            QCOMPARE(
                mainForm()->picCalc()->pixmap().toImage(),
                ImageList::instance().image(ImageList::Calculator, step.zoom / 100.0, 1).toImage());
        }
        QComboBox *list = m_main->options()->cboWindowSize();
        list->setCurrentIndex(list->findText("150%"));
        QCOMPARE(m_main->form()->zoom(), 150);
        QCOMPARE(stored(), "150");
        QCOMPARE(form->width(), px(12045, 150));
        // Exit writes the zoom in force with the other settings.
        m_main->settings().SaveSettings();
        QCOMPARE(stored(), "150");
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
            QCOMPARE(m_main->options()->gridSymbols()->textMatrix(r, 0), order[r - 1]);

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
        QCOMPARE(m_main->options()->SSTab1()->currentIndex(), 2);
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
