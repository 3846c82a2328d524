#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPixmap>
#include <QString>

#include <vector>

// The cells behind a FlexGrid: per cell a text, an optional back and fore colour and an
// optional picture, kept as plain values (no item objects, no variant per role).
//
// A write that changes nothing tells no one. Writes between beginBatch() and endBatch()
// are told once, as one dataChanged() over the whole grid, and only when one of them
// changed a cell. Rows reordered in place (sortRows, moveRow) keep their indexes: the
// views hear of the reordered range as changed data, so the current cell and the selection
// stay where they were, as in a classic grid.
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Cell
    {
        QString text;
        QColor back;
        QColor fore;
        QPixmap picture;
        // A back colour laid over `back` while it is set (an alert's colour, say): repainting
        // the row colours leaves it alone, and it moves with its row.
        QColor mark;
    };

    explicit FlexGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    void setRows(int n);
    void setCols(int n);
    bool contains(int r, int c) const { return r >= 0 && r < rows() && c >= 0 && c < m_cols; }

    // The cell at (r, c); the caller checks contains().
    const Cell &cell(int r, int c) const { return m_rows[size_t(r)][size_t(c)]; }
    // Writes outside the grid do nothing.
    void setText(int r, int c, const QString &text);
    void setBack(int r, int c, const QColor &color);
    void setFore(int r, int c, const QColor &color);
    void setPicture(int r, int c, const QPixmap &picture);
    void setMark(int r, int c, const QColor &color);
    // Removes every cell's mark.
    void clearMarks();

    // Puts the rows first .. first + order.size() - 1 in the given order: the row at
    // position i becomes the row that stood at first + order[i].
    void reorderRows(int first, const std::vector<int> &order);
    // Moves row `from` to index `to`; the rows in between shift by one.
    void moveRow(int from, int to);

    void beginBatch();
    void endBatch();

private:
    void cellChanged(int r, int c, int role);
    void rangeChanged(int firstRow, int lastRow);

    std::vector<std::vector<Cell>> m_rows;
    int m_cols = 0;
    int m_batch = 0;
    bool m_batchChanged = false;
};
