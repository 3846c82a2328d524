#include "grid/FlexGrid.h"

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

class TestFlexGrid : public QObject
{
    Q_OBJECT

private:
    // A grid with a header row and one data row per entry of `rows` (tab-separated).
    static void fill(FlexGrid &grid, int cols, const QStringList &rows)
    {
        grid.setCols(cols);
        grid.setRows(1);
        for (int c = 0; c < cols; ++c)
            grid.setTextMatrix(0, c, QStringLiteral("H%1").arg(c));
        for (const QString &row : rows)
            grid.addItem(row);
    }

    static QString column(const FlexGrid &grid, int c)
    {
        QStringList texts;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            texts.append(grid.textMatrix(r, c));
        return texts.join(QLatin1Char(' '));
    }

    static QPoint cellCentre(const FlexGrid &grid, int r, int c)
    {
        return grid.visualRect(grid.model()->index(r, c)).center();
    }

private Q_SLOTS:
    void startsAsOneHeaderRowAndOneDataRow()
    {
        FlexGrid grid;
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.fixedRows(), 1);
        QVERIFY(grid.horizontalHeader()->isHidden());
        QVERIFY(grid.verticalHeader()->isHidden());
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
        // The fixed-row overlay is a view of its own that screen readers list: it has a name.
        for (const QTableView *view : grid.findChildren<QTableView *>())
            QVERIFY2(!view->accessibleName().isEmpty(), qPrintable(view->objectName()));
        // Screen readers announce a column by the heading the header row shows.
        grid.setCols(2);
        grid.setTextMatrix(0, 1, QStringLiteral("Last"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Last"));
    }

    // A mark (an alert's colour) is shown over the cell's own back colour, survives a
    // repaint of the row colours, moves with its row and goes only when cleared.
    void markShowsOverTheBackColour()
    {
        FlexGrid grid;
        fill(grid, 2, {QStringLiteral("B"), QStringLiteral("A")});
        grid.setCellMarkColor(1, 1, Qt::green);
        grid.setCellBackColor(1, 1, Qt::darkGray);
        QCOMPARE(grid.cellBackColor(1, 1), QColor(Qt::green));
        grid.setCol(0);
        grid.sort(FlexGrid::SortGenericAscending);
        QCOMPARE(grid.cellMarkColor(2, 1), QColor(Qt::green));
        QCOMPARE(grid.cellBackColor(2, 1), QColor(Qt::green));
        grid.clearCellMarks();
        QCOMPARE(grid.cellBackColor(2, 1), QColor(Qt::darkGray));
    }

    void addItemSplitsTabTextIntoColumns()
    {
        FlexGrid grid;
        fill(grid, 5, {QStringLiteral("MSFT\t0\t0.00\t0.00")});
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("MSFT"));
        QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("0"));
        QCOMPARE(grid.textMatrix(1, 3), QStringLiteral("0.00"));
        QCOMPARE(grid.textMatrix(1, 4), QString());

        // Fields beyond the last column are dropped; empty fields stay empty.
        grid.addItem(QStringLiteral("A\t\tC\tD\tE\tF"));
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.textMatrix(2, 1), QString());
        QCOMPARE(grid.textMatrix(2, 4), QStringLiteral("E"));
        QCOMPARE(grid.textMatrix(2, 5), QString());
    }

    void addItemAtIndexNeverDisplacesTheHeader()
    {
        FlexGrid grid;
        fill(grid, 2, {QStringLiteral("B"), QStringLiteral("C")});
        grid.addItem(QStringLiteral("A"), 1);
        QCOMPARE(column(grid, 0), QStringLiteral("A B C"));
        grid.addItem(QStringLiteral("Z"), 0);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
        QCOMPARE(column(grid, 0), QStringLiteral("Z A B C"));
        grid.addItem(QStringLiteral("END"), 99);
        QCOMPARE(grid.textMatrix(grid.rows() - 1, 0), QStringLiteral("END"));
    }

    void rowCountChangesKeepTheHeader()
    {
        FlexGrid grid;
        fill(grid, 3, {QStringLiteral("A\t1"), QStringLiteral("B\t2")});
        grid.setCellBackColor(0, 1, Qt::yellow);
        grid.setRows(10);
        QCOMPARE(grid.rows(), 10);
        QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("B"));
        QCOMPARE(grid.textMatrix(9, 0), QString());
        grid.setRows(1);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.textMatrix(0, 2), QStringLiteral("H2"));
        QCOMPARE(grid.cellBackColor(0, 1), QColor(Qt::yellow));
        // Never fewer rows than fixed rows.
        grid.setRows(0);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
        // Rows that come back are empty, not the old ones.
        grid.setRows(3);
        QCOMPARE(grid.textMatrix(1, 0), QString());

        grid.setFixedRows(4);
        QCOMPARE(grid.rows(), 4);
        grid.setRows(2);
        QCOMPARE(grid.rows(), 4);
    }

    void removeItem()
    {
        FlexGrid grid;
        fill(grid, 2, {QStringLiteral("A"), QStringLiteral("B")});
        grid.removeItem(0); // the header stays
        grid.removeItem(5); // outside the grid
        grid.removeItem(-1);
        QCOMPARE(grid.rows(), 3);
        grid.removeItem(1);
        QCOMPARE(column(grid, 0), QStringLiteral("B"));
        // The last data row can be removed as well.
        grid.removeItem(1);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
    }

    void cellColoursAndPictures()
    {
        FlexGrid grid;
        fill(grid, 5, {QStringLiteral("A")});
        QVERIFY(!grid.cellBackColor(1, 0).isValid());
        QVERIFY(!grid.cellForeColor(1, 0).isValid());
        QVERIFY(grid.cellPicture(1, 4).isNull());

        grid.setCellBackColor(1, 0, QColor(0x00, 0xFF, 0x00));
        grid.setCellForeColor(1, 0, QColor(0xFF, 0x30, 0x00));
        QCOMPARE(grid.cellBackColor(1, 0), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(grid.cellForeColor(1, 0), QColor(0xFF, 0x30, 0x00));
        grid.setCellBackColor(1, 0, QColor());
        QVERIFY(!grid.cellBackColor(1, 0).isValid());

        // The picture read back is the very one set, so rows can be told apart by it.
        QPixmap ticked(13, 13);
        ticked.fill(Qt::black);
        QPixmap empty(13, 13);
        empty.fill(Qt::white);
        grid.setCellPicture(1, 4, ticked);
        QCOMPARE(grid.cellPicture(1, 4).cacheKey(), ticked.cacheKey());
        QVERIFY(grid.cellPicture(1, 4).cacheKey() != empty.cacheKey());
        grid.setCellPicture(1, 4, QPixmap());
        QVERIFY(grid.cellPicture(1, 4).isNull());

        // Outside the grid: nothing is created, nothing fails.
        grid.setCellBackColor(7, 0, Qt::red);
        grid.setTextMatrix(1, 9, QStringLiteral("x"));
        grid.setCellPicture(-1, 0, ticked);
        QCOMPARE(grid.rows(), 2);
        QVERIFY(!grid.cellBackColor(7, 0).isValid());
        QCOMPARE(grid.textMatrix(1, 9), QString());
    }

    void currentCell()
    {
        FlexGrid grid;
        fill(grid, 3, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        grid.setRow(2);
        grid.setCol(1);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 1);
        QCOMPARE(grid.rowSel(), 2);
        grid.setTextMatrix(2, 0, QStringLiteral("IBM"));
        grid.setCol(0);
        QCOMPARE(grid.text(), QStringLiteral("IBM"));
        // Outside the grid: the current cell stays.
        grid.setRow(4);
        grid.setRow(-1);
        grid.setCol(3);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 0);
        grid.setRow(0);
        QCOMPARE(grid.row(), 0);

        // The keyboard stays on the data rows.
        grid.setRow(1);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(grid.row(), 1);
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid.row(), 1);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.row(), 2);
    }

    void settingTheRowNeverScrolls()
    {
        FlexGrid grid;
        grid.resize(300, 120);
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QString::number(i));
        fill(grid, 2, rows);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        const int scrolled = grid.verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        grid.setRow(0);
        grid.setRow(1);
        QCOMPARE(grid.verticalScrollBar()->value(), scrolled);
    }

    void numericValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("decimal") << "12.5" << 12.5 << true;
        QTest::newRow("leading blanks") << "  \t7" << 7.0 << true;
        QTest::newRow("blanks around") << " 7 " << 7.0 << true;
        QTest::newRow("N/A") << "N/A" << 0.0 << false;
        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("percent") << "+1.20%" << 1.2 << false;
        QTest::newRow("negative") << "-0.50" << -0.5 << true;
        QTest::newRow("fraction only") << ".5" << 0.5 << true;
        QTest::newRow("volume groups") << "1,234,567" << 1234567.0 << true;
        QTest::newRow("short group") << "1,23" << 1.0 << false;
        QTest::newRow("comma after number") << "12," << 12.0 << false;
        QTest::newRow("time") << "4:01PM" << 4.0 << false;
        QTest::newRow("exponent") << "1e3" << 1000.0 << true;
        QTest::newRow("letter first") << "abc5" << 0.0 << false;
        QTest::newRow("second point") << "1.2.3" << 1.2 << false;
        QTest::newRow("sign alone") << "-" << 0.0 << false;
        QTest::newRow("point alone") << "." << 0.0 << false;
        QTest::newRow("decimal comma is not a point") << "3,5" << 3.0 << false;
    }

    void numericValue()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, numeric);
        QCOMPARE(FlexGrid::numericValue(text), value);
        QCOMPARE(FlexGrid::isNumericText(text), numeric);
    }

    void sort_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("order"); // tags of the rows after the sort

        const QStringList mixed = {"5", "1", "5", "N/A", "", "3"}; // tags a..f
        QTest::newRow("numeric ascending, ties kept")
            << mixed << int(FlexGrid::SortNumericAscending) << "d e b f a c";
        QTest::newRow("numeric descending, ties kept")
            << mixed << int(FlexGrid::SortNumericDescending) << "a c f b d e";
        QTest::newRow("generic ascending: numbers before texts")
            << mixed << int(FlexGrid::SortGenericAscending) << "b f a c e d";
        QTest::newRow("generic descending: texts before numbers")
            << mixed << int(FlexGrid::SortGenericDescending) << "d e a c f b";
        QTest::newRow("generic text ignores case, ties kept")
            << QStringList{"ibm", "CSCO", "Dell", "csco"} << int(FlexGrid::SortGenericAscending)
            << "b d c a";
        QTest::newRow("generic numbers by value, not text")
            << QStringList{"10", "9", "100", "-2"} << int(FlexGrid::SortGenericAscending)
            << "d b a c";
        QTest::newRow("numeric volumes with thousands separators")
            << QStringList{"987,654", "1,234,567", "N/A", "12,000"}
            << int(FlexGrid::SortNumericDescending) << "b a d c";
    }

    void sort()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, kind);
        QFETCH(QString, order);
        FlexGrid grid;
        QStringList rows;
        for (int i = 0; i < keys.size(); ++i)
            rows.append(keys.at(i) + QLatin1Char('\t') + QChar(char16_t(u'a' + i)));
        fill(grid, 2, rows);
        grid.setRow(1);
        grid.setCol(0);
        grid.sort(FlexGrid::SortKind(kind));
        QCOMPARE(column(grid, 1), order);
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
    }

    void twoPassSortOfASymbolColumnKeepsTextOrder()
    {
        // The quote grid sorts generic first, then numeric on the same column; with texts
        // the numeric pass sees only zeros and must keep the generic order.
        FlexGrid grid;
        fill(grid, 1, {"MSFT", "CSCO", "IBM", "DELL"});
        grid.setCol(0);
        grid.sort(FlexGrid::SortGenericAscending);
        grid.sort(FlexGrid::SortNumericAscending);
        QCOMPARE(column(grid, 0), QStringLiteral("CSCO DELL IBM MSFT"));
        grid.sort(FlexGrid::SortGenericDescending);
        grid.sort(FlexGrid::SortNumericDescending);
        QCOMPARE(column(grid, 0), QStringLiteral("MSFT IBM DELL CSCO"));
    }

    void sortMovesColoursAndPicturesWithTheirRow()
    {
        FlexGrid grid;
        fill(grid, 3, {"C\t3", "A\t1", "B\t2"});
        QPixmap arrow(8, 8);
        arrow.fill(Qt::green);
        grid.setCellBackColor(1, 1, Qt::red);
        grid.setCellForeColor(1, 0, Qt::blue);
        grid.setCellPicture(1, 2, arrow);
        grid.setCol(1);
        grid.sort(FlexGrid::SortNumericAscending);
        QCOMPARE(column(grid, 0), QStringLiteral("A B C"));
        QCOMPARE(grid.cellBackColor(3, 1), QColor(Qt::red));
        QCOMPARE(grid.cellForeColor(3, 0), QColor(Qt::blue));
        QCOMPARE(grid.cellPicture(3, 2).cacheKey(), arrow.cacheKey());
        QVERIFY(!grid.cellBackColor(1, 1).isValid());
        QVERIFY(grid.cellPicture(1, 2).isNull());
    }

    void sortRowsStaysInsideItsRange()
    {
        FlexGrid grid;
        fill(grid, 1, {"9", "8", "7", "6", "5"});
        grid.sortRows(FlexGrid::SortNumericAscending, 0, 2, 4);
        QCOMPARE(column(grid, 0), QStringLiteral("9 6 7 8 5"));
        // A range reaching into the header is cut at the first data row.
        grid.sortRows(FlexGrid::SortNumericAscending, 0, -3, 99);
        QCOMPARE(column(grid, 0), QStringLiteral("5 6 7 8 9"));
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
        // A grid with only its header has nothing to sort.
        grid.setRows(1);
        grid.sort(FlexGrid::SortGenericAscending);
        QCOMPARE(grid.rows(), 1);
    }

    void setRowPosition()
    {
        FlexGrid grid;
        fill(grid, 2, {"A", "B", "C", "D"});
        grid.setCellBackColor(1, 1, Qt::red);
        grid.setRowPosition(1, 3);
        QCOMPARE(column(grid, 0), QStringLiteral("B C A D"));
        QCOMPARE(grid.cellBackColor(3, 1), QColor(Qt::red));
        grid.setRowPosition(4, 1);
        QCOMPARE(column(grid, 0), QStringLiteral("D B C A"));
        // One step at a time, as the row-move buttons do.
        grid.setRowPosition(3, 2);
        QCOMPARE(column(grid, 0), QStringLiteral("D C B A"));
        // The header neither moves nor is moved into; outside indices do nothing.
        grid.setRowPosition(0, 2);
        grid.setRowPosition(2, 0);
        grid.setRowPosition(2, 5);
        grid.setRowPosition(-1, 2);
        QCOMPARE(column(grid, 0), QStringLiteral("D C B A"));
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
    }

    void columnsWidthsAndAlignment()
    {
        FlexGrid grid;
        grid.setCols(13);
        grid.setColWidth(12, 153);
        QCOMPARE(grid.colWidth(12), 153);
        QCOMPARE(grid.colWidth(13), 0);
        grid.setColAlignment(3, Qt::AlignCenter);
        QCOMPARE(grid.colAlignment(3), Qt::Alignment(Qt::AlignCenter));
        grid.setCols(2);
        QCOMPARE(grid.cols(), 2);
    }

    void redraw()
    {
        FlexGrid grid;
        grid.setRedraw(false);
        QVERIFY(!grid.redraw());
        QVERIFY(!grid.updatesEnabled());
        grid.setRedraw(true);
        QVERIFY(grid.updatesEnabled());
    }

    // Cell writes in one batch reach the views once, as a change of the whole grid, and
    // nested batches end with the outermost.
    void cellUpdateNotifiesOnce()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(4);
        QSignalSpy changes(grid.model(), &QAbstractItemModel::dataChanged);
        {
            FlexGrid::CellUpdate outer(grid);
            {
                FlexGrid::CellUpdate inner(grid);
                grid.setTextMatrix(1, 1, QStringLiteral("a"));
            }
            grid.setCellForeColor(3, 2, Qt::red);
            QCOMPARE(changes.count(), 0);
        }
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).value<QModelIndex>(), grid.model()->index(0, 0));
        QCOMPARE(changes.at(0).at(1).value<QModelIndex>(), grid.model()->index(3, 2));
        QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("a"));
        QCOMPARE(grid.cellForeColor(3, 2), QColor(Qt::red));
        // Outside a batch every write is told at once.
        grid.setTextMatrix(2, 0, QStringLiteral("b"));
        QVERIFY(changes.count() > 1);
    }

    void drawsFixedRowsDataCellsAndEmptyArea()
    {
        FlexGrid grid;
        grid.resize(400, 140);
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QString::number(i));
        fill(grid, 2, rows);
        grid.setColWidth(0, 60);
        grid.setColWidth(1, 60);
        grid.setGridLines(false);
        // Texts to the right, so the left edge of every cell shows its back colour.
        grid.setColAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        grid.setColAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        grid.setFixedBackColor(QColor(200, 0, 0));
        grid.setBackColor(QColor(0, 0, 200));
        grid.setBackColorBkg(QColor(0x58, 0x58, 0x58));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        // Scrolled to the end, the header row is still drawn at the top.
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        grid.setCellBackColor(grid.rows() - 1, 0, QColor(0, 200, 0));
        const QPoint origin = grid.viewport()->geometry().topLeft();
        QImage image;
        QTRY_VERIFY((image = grid.grab().toImage()).pixelColor(origin + QPoint(3, 3)) ==
                    QColor(200, 0, 0));
        const int lastTop = grid.visualRect(grid.model()->index(grid.rows() - 1, 0)).top();
        QCOMPARE(image.pixelColor(origin + QPoint(3, lastTop + 3)), QColor(0, 200, 0));
        QCOMPARE(image.pixelColor(origin + QPoint(63, lastTop + 3)), QColor(0, 0, 200));
        // Right of the last column: the colour of the area without cells.
        QCOMPARE(image.pixelColor(origin + QPoint(200, lastTop + 3)), QColor(0x58, 0x58, 0x58));

        // Grid lines in the grid colour, on the fixed rows as on the data rows.
        grid.setGridColor(QColor(0xFF, 0xFF, 0x00));
        grid.setShowGrid(true);
        const QPoint line(grid.colWidth(0) - 1, 0);
        QTRY_VERIFY((image = grid.grab().toImage()).pixelColor(origin + line + QPoint(0, 3)) ==
                    QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(image.pixelColor(origin + line + QPoint(0, lastTop + 3)),
                 QColor(0xFF, 0xFF, 0x00));
        grid.setGridLines(false);
        QTRY_VERIFY((image = grid.grab().toImage()).pixelColor(origin + line + QPoint(0, 3)) ==
                    QColor(200, 0, 0));
    }

    void mouseSignalsReportButtonKeysAndCell()
    {
        FlexGrid grid;
        grid.resize(300, 200);
        fill(grid, 3, {"A\t1\tx", "B\t2\ty", "C\t3\tz"});
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy down(&grid, &FlexGrid::mouseDown);
        QSignalSpy click(&grid, &FlexGrid::click);
        QSignalSpy dbl(&grid, &FlexGrid::dblClick);

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          cellCentre(grid, 2, 1));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(down.at(0).at(1).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(down.at(0).at(2).toInt(), 2);
        QCOMPARE(down.at(0).at(3).toInt(), 1);
        QCOMPARE(grid.mouseRow(), 2);
        QCOMPARE(grid.mouseCol(), 1);
        QCOMPARE(click.count(), 1);
        QCOMPARE(grid.row(), 2);

        QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::ControlModifier,
                          cellCentre(grid, 3, 2));
        QCOMPARE(down.count(), 2);
        QCOMPARE(down.at(1).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(down.at(1).at(1).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ControlModifier));
        QCOMPARE(click.count(), 1); // a right click is no click

        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, 1, 0));
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(grid.row(), 1);
    }

    void pressOnTheHeaderAfterScrollingHitsTheHeader()
    {
        FlexGrid grid;
        grid.resize(300, 120);
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QString::number(i));
        fill(grid, 2, rows);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setRow(5);
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        const int scrolled = grid.verticalScrollBar()->value();
        QSignalSpy down(&grid, &FlexGrid::mouseDown);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, grid.rowHeight(0) / 2));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(2).toInt(), 0);
        QCOMPARE(grid.mouseRow(), 0);
        QCOMPARE(grid.row(), 0);
        QCOMPARE(grid.verticalScrollBar()->value(), scrolled);
        // Just below the header: the data row scrolled there, not row 1.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(10, grid.rowHeight(0) + 2));
        QVERIFY(grid.mouseRow() > 1);
    }

    void keyboardNeverLeavesADataRowUnderTheHeader()
    {
        FlexGrid grid;
        grid.resize(300, 120);
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QString::number(i));
        fill(grid, 2, rows);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        grid.setRow(20);
        grid.scrollTo(grid.model()->index(20, 0));
        const QRect rect = grid.visualRect(grid.model()->index(20, 0));
        QVERIFY(rect.top() >= grid.rowHeight(0));
    }

    void modelTellsOnlyOfChanges_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("dataChanges");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("lastRow");
        QTest::newRow("same text again") << "same text" << 0 << -1 << -1;
        QTest::newRow("same colours again") << "same colours" << 0 << -1 << -1;
        QTest::newRow("new text") << "new text" << 1 << 2 << 2;
        QTest::newRow("batch changing nothing") << "quiet batch" << 0 << -1 << -1;
        QTest::newRow("batch of a download") << "download batch" << 1 << 0 << 4;
        QTest::newRow("sort") << "sort" << 1 << 1 << 4;
        QTest::newRow("row moved") << "move" << 1 << 2 << 4;
    }

    // The grid's own model: a write that changes nothing is not told, a batch is told once,
    // and rows reordered in place are told as changed data, leaving the current cell put.
    void modelTellsOnlyOfChanges()
    {
        QFETCH(QString, operation);
        QFETCH(int, dataChanges);
        QFETCH(int, firstRow);
        QFETCH(int, lastRow);
        FlexGrid grid;
        fill(grid, 3, {"D\t4", "B\t2", "C\t3", "A\t1"});
        grid.setCellForeColor(1, 1, Qt::red);
        grid.setRow(3);
        grid.setCol(1);
        QSignalSpy changes(grid.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy moves(grid.model(), &QAbstractItemModel::rowsMoved);
        QSignalSpy layouts(grid.model(), &QAbstractItemModel::layoutChanged);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);

        if (operation == QLatin1String("same text")) {
            grid.setTextMatrix(2, 0, QStringLiteral("B"));
        } else if (operation == QLatin1String("same colours")) {
            grid.setCellForeColor(1, 1, Qt::red);
            grid.setCellBackColor(2, 2, QColor());
        } else if (operation == QLatin1String("new text")) {
            grid.setTextMatrix(2, 0, QStringLiteral("BB"));
        } else if (operation == QLatin1String("quiet batch")) {
            FlexGrid::CellUpdate batch(grid);
            for (int r = 1; r < grid.rows(); ++r)
                grid.setTextMatrix(r, 0, grid.textMatrix(r, 0));
        } else if (operation == QLatin1String("download batch")) {
            FlexGrid::CellUpdate batch(grid);
            for (int r = 1; r < grid.rows(); ++r) {
                grid.setTextMatrix(r, 1, QString::number(r * 10));
                grid.setCellForeColor(r, 1, Qt::green);
            }
        } else if (operation == QLatin1String("sort")) {
            grid.sortRows(FlexGrid::SortGenericAscending, 0, 1, 4);
            QCOMPARE(column(grid, 0), QStringLiteral("A B C D"));
            QCOMPARE(grid.cellForeColor(4, 1), QColor(Qt::red));
        } else if (operation == QLatin1String("move")) {
            grid.setRowPosition(4, 2);
            QCOMPARE(column(grid, 0), QStringLiteral("D A B C"));
        }

        QCOMPARE(changes.count(), dataChanges);
        if (dataChanges > 0) {
            QCOMPARE(changes.at(0).at(0).value<QModelIndex>().row(), firstRow);
            QCOMPARE(changes.at(0).at(1).value<QModelIndex>().row(), lastRow);
        }
        QCOMPARE(moves.count() + layouts.count() + resets.count(), 0);
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), 1);
    }
};

QTEST_MAIN(TestFlexGrid)
#include "tst_flexgrid.moc"
