#include "common/Colors.h"
#include "common/MainState.h"
#include "common/Twips.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "support/TestDoubles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

#include <memory>

class TestQuoteGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void autoSort_data();
    void autoSort();
    void shiftClickSortsAndToggles();
    void shiftClickNeedsClickSorting();
    void ctrlClickRestoresWidths();
    void rightClickOpensTheMenu();
    void doubleClickOpensChart_data();
    void doubleClickOpensChart();
    void clickSelectsRow_data();
    void clickSelectsRow();
    void syncGridsFollowsGridOrder();

private:
    template <typename T> T *optionsControl(const char *name) const
    {
        return m_options->findChild<T *>(QLatin1String(name));
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 1; r < m_grid->rows(); ++r)
            texts << m_grid->textMatrix(r, c);
        return texts;
    }
    // Rows of symbol and last price.
    void fill(const QList<std::pair<const char *, const char *>> &rows);

    std::unique_ptr<FakePlatform> m_platform;
    MainState m_state;
    std::unique_ptr<FlexGrid> m_grid;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<QuoteGrid> m_quoteGrid;
};

void TestQuoteGrid::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_state = MainState();
    m_grid = std::make_unique<FlexGrid>();
    m_options = std::make_unique<frmOptions>();
    m_quoteGrid = std::make_unique<QuoteGrid>(m_state, *m_grid, m_options->quoteControls());
    m_quoteGrid->GridSetup();
    m_quoteGrid->AddLabels();
    m_quoteGrid->SizeColumns();
    optionsControl<QCheckBox>("chkUseDefaultColors")->setChecked(true);
}

void TestQuoteGrid::cleanup()
{
    m_quoteGrid.reset();
    m_options.reset();
    m_grid.reset();
    m_platform.reset();
}

void TestQuoteGrid::fill(const QList<std::pair<const char *, const char *>> &rows)
{
    m_grid->setRows(1);
    for (const auto &[symbol, last] : rows)
        m_grid->addItem(
            QStringLiteral("%1\t1\t2\t3:17pm\t%2").arg(QLatin1String(symbol), QLatin1String(last)));
}

void TestQuoteGrid::autoSort_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<int>("order"); // 0 ascending, 1 descending, -1 neither
    QTest::addColumn<QStringList>("symbols");
    const auto list = [](const char *text) { return QString::fromLatin1(text).split(u' '); };
    QTest::newRow("last ascending, text counts as 0") << true << 4 << 0 << list("CSCO A MSFT IBM");
    QTest::newRow("last descending") << true << 4 << 1 << list("IBM MSFT A CSCO");
    // The numeric pass sees only zeros here; being stable it keeps the text order.
    QTest::newRow("symbol ascending") << true << 0 << 0 << list("A CSCO IBM MSFT");
    QTest::newRow("symbol descending") << true << 0 << 1 << list("MSFT IBM CSCO A");
    QTest::newRow("no order chosen") << true << 4 << -1 << list("IBM A MSFT CSCO");
    QTest::newRow("auto-sort off") << false << 4 << 0 << list("IBM A MSFT CSCO");
}

void TestQuoteGrid::autoSort()
{
    QFETCH(bool, enabled);
    QFETCH(int, sortColumn);
    QFETCH(int, order);
    QFETCH(QStringList, symbols);
    fill({{"IBM", "101.5"}, {"A", "9"}, {"MSFT", "57"}, {"CSCO", "N/A"}});
    optionsControl<QCheckBox>("chkEnableAutoSort")->setChecked(enabled);
    auto *sortList = optionsControl<QComboBox>("cboSort");
    while (sortList->count() < 13)
        sortList->addItem(QString::number(sortList->count()));
    sortList->setCurrentIndex(sortColumn);
    for (int i = 0; i < 2; ++i) {
        m_options->optSortOrder[i]->setAutoExclusive(false);
        m_options->optSortOrder[i]->setChecked(i == order);
    }
    m_grid->setCellBackColor(1, 0, Colors::fromBgr(0x30FF));

    m_quoteGrid->AutoSort();

    QCOMPARE(column(0), symbols);
    QCOMPARE(m_grid->textMatrix(0, 0), QStringLiteral("Symbol")); // the header stays
    if (enabled) {
        // Recoloured after sorting: every odd row in the odd-row colour.
        for (int c = 0; c < 13; ++c)
            QCOMPARE(m_grid->cellBackColor(1, c), Colors::fromBgr(0x606000));
    }
}

void TestQuoteGrid::shiftClickSortsAndToggles()
{
    fill({{"IBM", "101.5"}, {"A", "9"}, {"MSFT", "57"}});
    optionsControl<QCheckBox>("chkEnableClickSort")->setChecked(true);
    QVERIFY(!m_state.ClickSortAscending);
    m_quoteGrid->gridQuotes_MouseDown(Qt::LeftButton, Qt::ShiftModifier, 1, 4);
    QCOMPARE(column(0), QString::fromLatin1("IBM MSFT A").split(u' '));
    QVERIFY(m_state.ClickSortAscending);
    // The direction alternates whatever column is clicked.
    m_quoteGrid->gridQuotes_MouseDown(Qt::LeftButton, Qt::ShiftModifier, 2, 0);
    QCOMPARE(column(0), QString::fromLatin1("A IBM MSFT").split(u' '));
    QVERIFY(!m_state.ClickSortAscending);
    QVERIFY(!m_grid->isHidden() && m_grid->redraw());
}

void TestQuoteGrid::shiftClickNeedsClickSorting()
{
    fill({{"IBM", "101.5"}, {"A", "9"}});
    optionsControl<QCheckBox>("chkEnableClickSort")->setChecked(false);
    m_quoteGrid->gridQuotes_MouseDown(Qt::LeftButton, Qt::ShiftModifier, 1, 0);
    QCOMPARE(column(0), QString::fromLatin1("IBM A").split(u' '));
    QVERIFY(!m_state.ClickSortAscending);
}

void TestQuoteGrid::ctrlClickRestoresWidths()
{
    fill({{"IBM", "1"}, {"A", "2"}});
    optionsControl<QCheckBox>("chkEnableClickSort")->setChecked(true);
    m_grid->setColWidth(0, 300);
    m_grid->setColWidth(12, 5);
    m_quoteGrid->gridQuotes_MouseDown(Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, 1,
                                      0);
    // The standard widths again, a column widened only as far as its heading needs.
    const int heading = m_grid->fontMetrics().horizontalAdvance(QStringLiteral("Symbol"));
    QVERIFY(m_grid->colWidth(0) >= std::max(Twips::toPixels(540), heading));
    QVERIFY(m_grid->colWidth(0) < std::max(Twips::toPixels(540), heading + 20));
    QCOMPARE(m_grid->colWidth(12), Twips::toPixels(2300));
    QCOMPARE(column(0), QString::fromLatin1("IBM A").split(u' ')); // sorted descending first
}

void TestQuoteGrid::rightClickOpensTheMenu()
{
    QMenu menu;
    menu.addAction(QStringLiteral("entry"));
    m_quoteGrid->setContextMenu([&menu] { menu.popup(QPoint(0, 0)); });
    fill({{"IBM", "1"}, {"A", "2"}});
    optionsControl<QCheckBox>("chkEnableClickSort")->setChecked(true);
    m_quoteGrid->gridQuotes_MouseDown(Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, 1,
                                      0);
    QTRY_VERIFY(menu.isVisible());
    menu.close();
    // Keys held with the right button do nothing else.
    QCOMPARE(column(0), QString::fromLatin1("IBM A").split(u' '));
    QVERIFY(!m_state.ClickSortAscending);
}

void TestQuoteGrid::doubleClickOpensChart_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("symbol");   // empty: nothing opens
    QTest::addColumn<QString>("stockUrl"); // the feed's: its chart; another: the site's
    const QString feed = QStringLiteral("http://127.0.0.1:47111/download/quotes.csv?s=");
    QTest::newRow("symbol cell") << 2 << 0 << QStringLiteral("A") << QString();
    QTest::newRow("another cell gives its text") << 1 << 4 << QStringLiteral("101.5") << QString();
    QTest::newRow("header row") << 0 << 0 << QString() << QString();
    QTest::newRow("the feed's chart") << 1 << 0 << QStringLiteral("IBM") << feed;
}

void TestQuoteGrid::doubleClickOpensChart()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, symbol);
    QFETCH(QString, stockUrl);
    m_state.StockURL = stockUrl;
    fill({{"IBM", "101.5"}, {"A", "9"}});
    m_grid->setRow(row);
    m_grid->setCol(col);
    m_quoteGrid->gridQuotes_DblClick();
    if (symbol.isEmpty()) {
        QVERIFY(m_platform->programs.urls.isEmpty());
        return;
    }
    QCOMPARE(m_platform->programs.urls.size(), 1);
    // QUrl writes the equivalent "." for "%2E".
    const QString address = m_platform->programs.urls.first().toString();
    QVERIFY2(address.endsWith(QStringLiteral("/print/print.asp?frames=0&symb=") + symbol +
                              QStringLiteral("&unused=0&o_symb=") + symbol +
                              QStringLiteral("&time=1&freq=9&backurl=%2Fquickchart%2Fquickchart."
                                             "asp&prms=qcd")),
             qPrintable(address));
    QCOMPARE(m_platform->programs.urls.first().authority(),
             stockUrl.isEmpty() ? QStringLiteral("charts.vantora.net")
                                : QStringLiteral("127.0.0.1:47111"));
}

void TestQuoteGrid::clickSelectsRow_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("panelReset");
    QTest::newRow("browser mode") << QStringLiteral("Browser") << 2 << 2 << true;
    QTest::newRow("ticker mode") << QStringLiteral("Ticker") << 2 << 2 << false;
    QTest::newRow("header counts as row 1") << QStringLiteral("Ticker") << 0 << 1 << false;
}

void TestQuoteGrid::clickSelectsRow()
{
    QFETCH(QString, mode);
    QFETCH(int, row);
    QFETCH(int, selected);
    QFETCH(bool, panelReset);
    fill({{"IBM", "1"}, {"A", "2"}});
    int resets = 0;
    m_quoteGrid->setPanelReset([&resets] { ++resets; });
    m_state.WindowMode = mode;
    m_state.ActiveButton = QStringLiteral("cmdCharts");
    m_grid->setRow(row);
    m_grid->setCol(1);
    m_quoteGrid->gridQuotes_Click();
    QCOMPARE(m_state.SelectedRow, qint16(selected));
    QCOMPARE(resets, panelReset ? 1 : 0);
    QCOMPARE(m_state.ActiveButton.isEmpty(), panelReset);
}

void TestQuoteGrid::syncGridsFollowsGridOrder()
{
    fill({{"DELL", "1"}, {"NEW", "2"}, {"IBM", "3"}, {"MSFT", "4"}});
    FlexGrid *symbols = optionsControl<FlexGrid>("gridSymbols");
    symbols->setRows(1);
    for (const char *row : {"MSFT\t10", "IBM\t20", "CSCO\t30", "DELL\t40"})
        symbols->addItem(QString::fromLatin1(row));
    m_state.SelectedRow = 3;

    m_quoteGrid->SyncGrids();

    // Each grid symbol in turn is moved up one row at a time, as far as its grid row or
    // row 1, then down to its grid row; a grid symbol missing from the list is skipped. MSFT
    // (grid row 4) therefore passes row 1 on its way down and ends last.
    QStringList order;
    QStringList shares;
    for (int r = 1; r < symbols->rows(); ++r) {
        order << symbols->textMatrix(r, 0);
        shares << symbols->textMatrix(r, 1);
    }
    QCOMPARE(order, QString::fromLatin1("DELL IBM CSCO MSFT").split(u' '));
    QCOMPARE(shares, QString::fromLatin1("40 20 30 10").split(u' '));
    QCOMPARE(m_grid->row(), 3);
    QVERIFY(!symbols->isHidden());
}

QTEST_MAIN(TestQuoteGrid)
#include "tst_quotegrid.moc"
