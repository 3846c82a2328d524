#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "screen/Twips.h"
#include "window/ClickableLabel.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <memory>

class TestFrmStockMain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowIsFramelessAndTitled();
    void control_data();
    void control();
    void namesAreUnique();
    void runTimeControlsAreLeftOut();
    void grouping_data();
    void grouping();
    void startPictures();
    void everyControlHasAnAccessibleName();
    void browserLayoutInTwips_data();
    void browserLayoutInTwips();
    void panelPartsStartHidden();

private:
    template <typename T = QWidget> T *find(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    std::unique_ptr<frmStockMain> m_form;
};

void TestFrmStockMain::init()
{
    m_form = std::make_unique<frmStockMain>();
}

void TestFrmStockMain::cleanup()
{
    m_form.reset();
}

void TestFrmStockMain::windowIsFramelessAndTitled()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Vantora v2.0"));
    QVERIFY(m_form->isWindow());
    QVERIFY(m_form->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(m_form->objectName(), QStringLiteral("frmStockMain"));
}

void TestFrmStockMain::control_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");

    const auto row = [](const char *name, const char *kind, const QString &caption,
                        const QString &tip) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << caption
                            << tip;
    };
    const QString none;
    // Button bar and browser panel.
    row("cmdHome", "LinkButton", "Home", "Go to your Home page");
    row("cmdCharts", "LinkButton", "Charts", "View chart for selected stock");
    row("cmdNews", "LinkButton", "News", "Read news about selected stock");
    row("cmdInquiry", "LinkButton", "Inquiry",
        "Research, IPO data, stock screener, and symbol lookup");
    row("cmdBTV", "LinkButton", "BTV", "Watch Bloomberg TV live");
    row("cmdRadio", "LinkButton", "Radio", "Bloomberg Radio live");
    row("cmdSubmit", "LinkButton", "Submit", "Submit data and view results");
    row("cmdLookup", "LinkButton", "Symbol Lookup", "Stock symbol lookup");
    row("cmdResearch", "LinkButton", "Research", "Company Research");
    row("cmdIPO", "LinkButton", "IPOs", "IPOs and IPO news");
    row("cmdScreener", "LinkButton", "Screener", "Yahoo! Stock Screener");
    row("cmdOptions", "LinkButton", "Options", "Set up portfolio and preferences");
    row("cmdUpdate", "LinkButton", "Update", "Update quotes now");
    row("cmdExit", "LinkButton", "Exit", "Save settings and exit");
    row("cmdPrintTicker", "LinkButton", "Print", "Print the ticker readout");
    // Frames of the panel and their controls.
    row("cboChartTime", "QComboBox", none, "Select time range for charts");
    row("lblChartTime", "QLabel", "Range:", none);
    row("cboChartFreq", "QComboBox", none, "Select frequency for charts");
    row("lblChartFreq", "QLabel", "Frequency:", none);
    row("cboStockNews", "QComboBox", none, "Select news source");
    row("lblStockNews", "QLabel", "News Source:", none);
    row("txtResearch", "QLineEdit", none, "Enter stock symbol to research then click Submit");
    row("lblResearch", "QLabel", "Research Symbol:", none);
    row("cboResearchSource", "QComboBox", none, "Select research source");
    row("lblResearchSource", "QLabel", "Source:", none);
    row("txtSymbolLookup", "QLineEdit", none,
        "Enter company name and click Submit to get stock symbol");
    row("lblSymbolLookup", "QLabel", "Lookup Company:", none);
    row("cboIPOList", "QComboBox", none, "Select IPO source");
    row("lblIPO", "QLabel", "IPO Source:", none);
    row("cboScreener", "QComboBox", none, "Select screener source");
    row("lblScreener", "QLabel", "Screener Source:", none);
    row("picIslandButton", "ClickableLabel", none, "Real-time Island Book data");
    row("FrameCharts", "QFrame", none, none);
    row("FrameNews", "QFrame", none, none);
    row("FrameResearch", "QFrame", none, none);
    row("FrameSymbolLookup", "QFrame", none, none);
    row("FrameIPO", "QFrame", none, none);
    row("FrameScreener", "QFrame", none, none);
    row("FrameInfoButtons", "QFrame", none, none);
    row("FrameBrowserButtons", "QFrame", none, none);
    row("cmdBack", "QToolButton", "Back", "Back");
    row("cmdForward", "QToolButton", "Forward", "Forward");
    row("cmdStop", "QToolButton", "Stop", "Stop");
    row("cmdRefresh", "QToolButton", "Refresh", "Refresh");
    row("lblBusy", "QLabel", none, none);
    // Quotes, status and valuation.
    row("gridQuotes", "FlexGrid", none, none);
    row("lblPortfolioValue", "QLabel", "Portfolio Value:", none);
    row("txtPortfolioValue", "QLineEdit", none, none);
    row("lblPortfolioToday", "QLabel", "Gain / Loss Today:", none);
    row("txtPortfolioToday", "QLineEdit", none, none);
    row("lblUpdate", "QLabel", "Next Update", none);
    row("txtNextUpdate", "QLineEdit", none, none);
    row("lblUpdateTime", "QLabel", "Last Update:", none);
    row("txtUpdateTime", "QLineEdit", none, none);
    row("lblDelayNotice", "QLabel", none, none);
    row("picLED", "ClickableLabel", none,
        "Update Status - Red = offline, Yellow = busy,  Green = done");
    // Window furniture.
    row("picTickerSize", "ClickableLabel", none, "Toggle browser/ticker modes");
    row("picMaxWide", "ClickableLabel", none, "Click to extend width to 1024 pixels");
    row("picCalc", "ClickableLabel", none, "Double-click to run the Windows Calculator");
    row("picMoveUp", "ClickableLabel", none, "Move up one row");
    row("picMoveDown", "ClickableLabel", none, "Move down one row");
    row("picControlBox", "ClickableLabel", none, "Hide in the notification area");
    row("picPanel", "ClickableLabel", none, none);
    row("picButtonFrame", "ClickableLabel", none, none);
    row("picBezelRight", "ClickableLabel", none, none);
    row("picRightBorder", "ClickableLabel", none, none);
    row("imgBezelBottom", "ClickableLabel", none, none);
    row("Scroller1Frame", "QWidget", none, none);
    row("WebBrowser1Frame", "QWidget", none, none);
}

void TestFrmStockMain::control()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);

    QWidget *w = m_form->findChild<QWidget *>(name);
    QVERIFY2(w != nullptr, qPrintable(name));
    QVERIFY2(
        w->inherits(kind.toLatin1().constData()),
        qPrintable(name + QLatin1String(" is a ") + QLatin1String(w->metaObject()->className())));
    QCOMPARE(w->toolTip(), toolTip);
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(button->text(), caption);
    else if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), caption);
    else if (auto *edit = qobject_cast<QLineEdit *>(w))
        QCOMPARE(edit->text(), caption);
    else if (auto *combo = qobject_cast<QComboBox *>(w))
        QCOMPARE(combo->count(), 0); // the catalogues fill the lists later
}

void TestFrmStockMain::namesAreUnique()
{
    QSet<QString> seen;
    for (QWidget *w : m_form->findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen.insert(name);
    }
}

void TestFrmStockMain::runTimeControlsAreLeftOut()
{
    // Made at run time under these names; the form must not already hold them.
    for (const char *name : {"Scroller1", "WebBrowser1", "inetQuotes", "timInterval", "timScroll"})
        QVERIFY2(m_form->findChild<QObject *>(QLatin1String(name)) == nullptr, name);
    // Their places are plain, empty containers.
    for (const char *name : {"Scroller1Frame", "WebBrowser1Frame"}) {
        QWidget *place = find(name);
        QVERIFY(place);
        QCOMPARE(QLatin1String(place->metaObject()->className()), QLatin1String("QWidget"));
        QVERIFY(place->findChildren<QWidget *>().isEmpty());
        QCOMPARE(place->parentWidget(), m_form.get());
    }
}

void TestFrmStockMain::grouping_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QStringList>("members");
    const auto row = [](const char *container, const QStringList &members) {
        QTest::newRow(container) << QString::fromLatin1(container) << members;
    };
    row("FrameCharts", {"cboChartTime", "lblChartTime", "cboChartFreq", "lblChartFreq"});
    row("FrameNews", {"cboStockNews", "lblStockNews"});
    row("FrameResearch", {"txtResearch", "lblResearch", "cboResearchSource", "lblResearchSource"});
    row("FrameSymbolLookup", {"txtSymbolLookup", "lblSymbolLookup"});
    row("FrameIPO", {"cboIPOList", "lblIPO"});
    row("FrameScreener", {"cboScreener", "lblScreener"});
    row("FrameInfoButtons",
        {"cmdLookup", "cmdResearch", "cmdIPO", "cmdScreener", "picIslandButton"});
    row("FrameBrowserButtons", {"cmdBack", "cmdForward", "cmdStop", "cmdRefresh"});
    // The panel moves with the layout mode; everything of the button bar moves with it.
    row("picPanel",
        {"cmdOptions", "cmdUpdate", "cmdExit", "cmdPrintTicker", "picLED", "txtNextUpdate",
         "txtUpdateTime", "txtPortfolioValue", "txtPortfolioToday", "picTickerSize", "picMaxWide",
         "picMoveUp", "picMoveDown", "picCalc", "picButtonFrame"});
    // The buttons hidden in ticker mode sit together.
    row("picButtonFrame", {"cmdHome", "cmdCharts", "cmdNews", "cmdInquiry", "cmdBTV", "cmdRadio"});
    // The right bezel carries the browser's own buttons and status.
    row("picBezelRight", {"FrameBrowserButtons", "lblBusy"});
}

void TestFrmStockMain::grouping()
{
    QFETCH(QString, container);
    QFETCH(QStringList, members);
    QWidget *box = m_form->findChild<QWidget *>(container);
    QVERIFY(box);
    for (const QString &member : members) {
        QWidget *w = m_form->findChild<QWidget *>(member);
        QVERIFY2(w, qPrintable(member));
        QVERIFY2(box->isAncestorOf(w), qPrintable(member));
    }
    // A frame that is hidden hides what is in it: nothing of one frame lives in another.
    if (container.startsWith(QLatin1String("Frame"))) {
        for (const char *other : {"FrameCharts", "FrameNews", "FrameResearch", "FrameSymbolLookup",
                                  "FrameIPO", "FrameScreener", "FrameInfoButtons"}) {
            QWidget *o = find(other);
            if (o != box)
                QVERIFY2(!o->isAncestorOf(box) && !box->isAncestorOf(o), other);
        }
    }
}

void TestFrmStockMain::startPictures()
{
    const ImageList &images = ImageList::instance();
    const auto same = [](const QPixmap &shown, const QImage &expected) {
        return shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
               expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const struct
    {
        const char *name;
        int index;
    } pictures[] = {{"picMoveUp", 7},     {"picMoveDown", 6},     {"picMaxWide", 2},
                    {"picTickerSize", 6}, {"picIslandButton", 1}, {"picControlBox", 12},
                    {"picCalc", 13}};
    for (const auto &p : pictures) {
        auto *label = find<ClickableLabel>(p.name);
        QVERIFY2(label, p.name);
        QVERIFY2(same(label->pixmap(), images.toImage(p.index)), p.name);
    }
    QVERIFY(same(m_form->picture(), images.toImage(9)));

    // The skin is what the window paints at its top left.
    m_form->resize(Twips::toPixels(12045, 96), Twips::toPixels(2095, 96));
    // (2, 60) lies on the left bezel, outside every control.
    const QImage shot = m_form->grab().toImage();
    const QImage skin = images.toImage(9);
    QVERIFY(skin.pixelColor(2, 60) != QColor(0x58, 0x58, 0x58));
    QCOMPARE(shot.pixelColor(2, 60).rgb(), skin.pixelColor(2, 60).rgb());

    // The picture can be changed (the ticker layout has its own) and taken away.
    m_form->setPicture(images.image(8));
    QVERIFY(same(m_form->picture(), images.toImage(8)));
    m_form->setPicture(QPixmap());
    QVERIFY(m_form->picture().isNull());
    QCOMPARE(m_form->grab().toImage().pixelColor(2, 60), QColor(0x58, 0x58, 0x58));
}

void TestFrmStockMain::everyControlHasAnAccessibleName()
{
    int checked = 0;
    for (QWidget *w : m_form->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // Plain labels with a caption name themselves, and labels of changing text (empty
        // before their first text) say what they are in their description, so that their
        // name stays what they show; the rest must carry a name.
        auto *label = qobject_cast<QLabel *>(w);
        if (label && (!label->text().isEmpty() || !label->accessibleDescription().isEmpty()))
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(iface, qPrintable(w->objectName()));
        ++checked;
        // A label that shows changing text reads what it shows; while it shows nothing, its
        // description says what it is.
        if (label && w->accessibleName().isEmpty()) {
            QVERIFY2(!iface->text(QAccessible::Description).isEmpty(), qPrintable(w->objectName()));
            label->setText(QStringLiteral("Quotes are delayed"));
            QCOMPARE(iface->text(QAccessible::Name), label->text());
            label->clear();
            continue;
        }
        QVERIFY2(!iface->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(w->objectName()));
    }
    QVERIFY(checked > 40);
    // Labels give their text boxes and lists a buddy, so a label's access key reaches them.
    QCOMPARE(find<QLabel>("lblChartTime")->buddy(), find("cboChartTime"));
    QCOMPARE(find<QLabel>("lblSymbolLookup")->buddy(), find("txtSymbolLookup"));
    QCOMPARE(find<QLabel>("lblPortfolioToday")->buddy(), find("txtPortfolioToday"));
}

void TestFrmStockMain::browserLayoutInTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips"); // left, top, width, height; -1 where free
    QTest::newRow("window") << QString() << QRect(-1, -1, 12045, 2095);
    QTest::newRow("grid") << QStringLiteral("gridQuotes") << QRect(195, 230, 9645, 1235);
    QTest::newRow("panel") << QStringLiteral("picPanel") << QRect(-1, 1500, -1, -1);
    QTest::newRow("right bezel") << QStringLiteral("picBezelRight")
                                 << QRect(12045 - 2150, 1390, -1, -1);
}

void TestFrmStockMain::browserLayoutInTwips()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    // The form is laid out at 96 dpi: 15 twips a pixel, so a value is good to half a pixel.
    const QWidget *w = name.isEmpty() ? m_form.get() : m_form->findChild<QWidget *>(name);
    QVERIFY(w);
    const QRect g = w->geometry();
    const auto near = [](int pixels, int expected) {
        return expected < 0 || qAbs(Twips::toTwips(pixels, 96) - expected) <= 7.5;
    };
    if (!name.isEmpty()) {
        QVERIFY2(near(g.x(), twips.x()), qPrintable(QString::number(g.x())));
        QVERIFY2(near(g.y(), twips.y()), qPrintable(QString::number(g.y())));
    }
    QVERIFY2(near(g.width(), twips.width()), qPrintable(QString::number(g.width())));
    QVERIFY2(near(g.height(), twips.height()), qPrintable(QString::number(g.height())));
}

void TestFrmStockMain::panelPartsStartHidden()
{
    // The window comes up in browser mode with the tray closed and no panel open.
    for (const char *name :
         {"FrameCharts", "FrameNews", "FrameResearch", "FrameSymbolLookup", "FrameIPO",
          "FrameScreener", "FrameInfoButtons", "cmdSubmit", "cmdPrintTicker", "imgBezelBottom"})
        QVERIFY2(!find(name)->isVisibleTo(m_form.get()), name);
    for (const char *name :
         {"gridQuotes", "Scroller1Frame", "picPanel", "picButtonFrame", "FrameBrowserButtons",
          "lblBusy", "picBezelRight", "cmdHome", "cmdOptions", "cmdUpdate", "cmdExit", "picLED",
          "picTickerSize", "picMoveUp", "picMoveDown", "txtPortfolioValue"})
        QVERIFY2(find(name)->isVisibleTo(m_form.get()), name);
    // Everything the panel shows fits inside the collapsed window.
    const QRect window(QPoint(0, 0), m_form->size());
    for (const char *name : {"FrameCharts", "FrameInfoButtons", "cmdSubmit", "picPanel"}) {
        QWidget *w = find(name);
        const QRect r(w->mapTo(m_form.get(), QPoint(0, 0)), w->size());
        QVERIFY2(window.contains(r), name);
    }
}

QTEST_MAIN(TestFrmStockMain)
#include "tst_frmstockmain.moc"
