#pragma once

#include <QColor>
#include <QPixmap>
#include <QTableView>

class FlexGridModel;

// The grid control of the quote and symbol lists: a table view over a model of its own
// (FlexGridModel) that offers exactly the grid operations the forms use.
//
// Rows and columns are counted as in a classic flexible grid: the fixed (header) rows are
// the first rows of the data, so row 0 is the header and rows() includes it. Qt's own
// header views are hidden; the fixed rows are real rows drawn in the fixed colours and kept
// at the top by an overlay that does not scroll, so data rows scroll underneath them.
//
// The current cell (row(), col()) is the view's current index. Setting it from code never
// scrolls the grid. Cells carry text, an optional back and fore colour and an optional
// picture; a cell without a colour of its own is drawn in the grid's colours (backColor /
// foreColor for data rows, fixedBackColor / fixedForeColor for fixed rows).
//
// Operations given a row or column outside the grid do nothing (reads return an empty
// value), so a stale index can never fail.
class FlexGrid : public QTableView
{
    Q_OBJECT
public:
    // The grid's four sort kinds; each orders the data rows by one column and keeps the
    // order of rows that compare equal.
    enum SortKind
    {
        // A cell that reads as a number compares as a number, any other as text
        // (case-insensitive); numbers come before texts.
        SortGenericAscending = 1,
        SortGenericDescending = 2,
        // Every cell compares by its numeric value (numericValue()).
        SortNumericAscending = 3,
        SortNumericDescending = 4,
    };
    Q_ENUM(SortKind)

    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    // Row and column counts, fixed rows included. Fewer rows than fixed rows are never
    // kept: setRows() keeps at least fixedRows() rows. Cells that stay keep their content.
    int rows() const;
    void setRows(int n);
    int cols() const;
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);

    // The current cell. Without a current cell both read 0. Setting a row or column
    // outside the grid does nothing; setting one never scrolls the grid.
    int row() const;
    void setRow(int r);
    int col() const;
    void setCol(int c);
    // The other end of the selection (the current cell when a single cell is selected).
    int rowSel() const;
    int colSel() const;

    QString textMatrix(int r, int c) const;
    void setTextMatrix(int r, int c, const QString &text);
    // The text of the current cell.
    QString text() const { return textMatrix(row(), col()); }
    void setText(const QString &text) { setTextMatrix(row(), col(), text); }

    // Per-cell colours; an invalid QColor removes the cell's own colour, and a cell without
    // one reads back as invalid. The back colour read is the one shown: the cell's mark
    // while it has one, else its own back colour.
    QColor cellBackColor(int r, int c) const;
    void setCellBackColor(int r, int c, const QColor &color);
    // A back colour shown over the cell's own until it is removed (an invalid QColor) or
    // clearCellMarks() runs; setCellBackColor() leaves it alone and it moves with its row.
    QColor cellMarkColor(int r, int c) const;
    void setCellMarkColor(int r, int c, const QColor &color);
    void clearCellMarks();
    QColor cellForeColor(int r, int c) const;
    void setCellForeColor(int r, int c, const QColor &color);
    // Per-cell picture; a null pixmap removes it. The picture read back is the one that
    // was set (same cacheKey()), so "is this the ticked-box picture" can be asked by
    // comparing cacheKey()s. A picture alone in a cell is centred.
    QPixmap cellPicture(int r, int c) const;
    void setCellPicture(int r, int c, const QPixmap &picture);

    // Column widths in pixels, and the alignment of a whole column (fixed rows included).
    int colWidth(int c) const;
    void setColWidth(int c, int px);
    Qt::Alignment colAlignment(int c) const;
    void setColAlignment(int c, Qt::Alignment alignment);
    // Widens every column whose heading (the text of row 0) would not show whole, with a
    // gap to its neighbours.
    void fitHeadings();

    // Sorts by the current column. The sorted rows are the selected rows when the selection
    // spans more than one data row, otherwise all data rows; fixed rows never move. Text,
    // colours and pictures move with their row.
    void sort(SortKind kind);
    // Sorts the rows first..last (clamped to the data rows) by column c.
    void sortRows(SortKind kind, int c, int first, int last);

    // Moves row `from` to index `to`; the rows in between shift by one. The current cell
    // stays at its index. Fixed rows cannot be moved and nothing moves into them.
    void setRowPosition(int from, int to);

    // Redrawing on or off (off while many cells change).
    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // Cell writes between beginCellUpdate and endCellUpdate (sorts and row moves included)
    // reach the views as one change of the whole grid instead of one notification per cell,
    // and as none when no write changed anything. Rows added or removed in between are told
    // at once, as always. Batches nest; the outermost one tells.
    void beginCellUpdate();
    void endCellUpdate();
    class CellUpdate
    {
    public:
        explicit CellUpdate(FlexGrid &grid) : m_grid(grid) { m_grid.beginCellUpdate(); }
        ~CellUpdate() { m_grid.endCellUpdate(); }
        CellUpdate(const CellUpdate &) = delete;
        CellUpdate &operator=(const CellUpdate &) = delete;

    private:
        FlexGrid &m_grid;
    };

    // Appends a row filled from tab-separated text, one field per column from column 0;
    // fields beyond the last column are dropped.
    void addItem(const QString &tabText);
    // Inserts such a row at `index`, which is kept between fixedRows() and rows().
    void addItem(const QString &tabText, int index);
    // Removes a data row (the last data row too); fixed rows and rows outside the grid are
    // left alone.
    void removeItem(int r);

    // Appearance.
    // Grid lines on (flat) or off; setShowGrid() does the same.
    bool gridLines() const { return showGrid(); }
    void setGridLines(bool on);
    QColor gridColor() const { return m_gridColor; }
    void setGridColor(const QColor &color);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &color);
    QColor fixedBackColor() const { return m_fixedBackColor; }
    void setFixedBackColor(const QColor &color);
    QColor fixedForeColor() const { return m_fixedForeColor; }
    void setFixedForeColor(const QColor &color);
    // The colour of the area without cells.
    QColor backColorBkg() const { return m_backColorBkg; }
    void setBackColorBkg(const QColor &color);

    // The cell under the mouse at the last button press, -1 when it was outside the cells.
    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }

    // The row or column at a point of the viewport, fixed rows taken from the overlay;
    // -1 outside the cells.
    int rowAtPoint(const QPoint &viewportPos) const;
    int colAtPoint(const QPoint &viewportPos) const;

    // The numeric value of a cell's text for the numeric sort: the number at the text's
    // start ("." as the decimal point, leading blanks skipped, "," between digit groups
    // ignored), 0 when there is none.
    static double numericValue(const QString &text);
    // Whether a text reads as a number as a whole (blanks around it allowed).
    static bool isNumericText(const QString &text);

    // The cells: one table model, shared by the grid and its fixed-row overlay.
    FlexGridModel *gridModel() const { return m_model; }

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

Q_SIGNALS:
    // A left-button click (press and release) anywhere in the grid.
    void click();
    // A double-click anywhere in the grid.
    void dblClick();
    // A mouse button pressed, with the keys held and the cell under the mouse (-1 outside
    // the cells).
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row, int col);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    class Delegate;
    friend class Delegate;

    bool validCell(int r, int c) const;
    void setCurrentWithoutScroll(int r, int c);
    int fixedHeight() const;
    void updateFixedView();
    void applyPalette();
    void applyRowHeight();

    FlexGridModel *m_model = nullptr;
    QTableView *m_fixedView = nullptr;
    int m_fixedRows = 1;
    bool m_redraw = true;
    int m_cellUpdates = 0;
    bool m_pressed = false;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    QList<Qt::Alignment> m_colAlignment;
    QColor m_gridColor{0xC0, 0xC0, 0xC0};
    QColor m_backColor{Qt::white};
    QColor m_foreColor{Qt::black};
    QColor m_fixedBackColor{0xC0, 0xC0, 0xC0};
    QColor m_fixedForeColor{Qt::black};
    QColor m_backColorBkg{0x80, 0x80, 0x80};
};
