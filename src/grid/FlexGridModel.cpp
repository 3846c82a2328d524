#include "FlexGridModel.h"

#include <QBrush>

#include <algorithm>

FlexGridModel::FlexGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows();
}

int FlexGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !contains(index.row(), index.column()))
        return {};
    const Cell &c = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return c.text;
    case Qt::BackgroundRole:
        if (c.mark.isValid())
            return QVariant(QBrush(c.mark));
        return c.back.isValid() ? QVariant(QBrush(c.back)) : QVariant();
    case Qt::ForegroundRole:
        return c.fore.isValid() ? QVariant(QBrush(c.fore)) : QVariant();
    case Qt::DecorationRole:
        return c.picture.isNull() ? QVariant() : QVariant(c.picture);
    default:
        return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? (Qt::ItemIsSelectable | Qt::ItemIsEnabled) : Qt::NoItemFlags;
}

bool FlexGridModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row > rows() || count < 1)
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    m_rows.insert(m_rows.begin() + row, size_t(count), std::vector<Cell>(size_t(m_cols)));
    endInsertRows();
    return true;
}

bool FlexGridModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > rows())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    return true;
}

void FlexGridModel::setRows(int n)
{
    n = std::max(n, 0);
    if (n > rows())
        insertRows(rows(), n - rows());
    else if (n < rows())
        removeRows(n, rows() - n);
}

void FlexGridModel::setCols(int n)
{
    n = std::max(n, 0);
    if (n > m_cols) {
        beginInsertColumns(QModelIndex(), m_cols, n - 1);
        m_cols = n;
        for (auto &row : m_rows)
            row.resize(size_t(n));
        endInsertColumns();
    } else if (n < m_cols) {
        beginRemoveColumns(QModelIndex(), n, m_cols - 1);
        m_cols = n;
        for (auto &row : m_rows)
            row.resize(size_t(n));
        endRemoveColumns();
    }
}

void FlexGridModel::cellChanged(int r, int c, int role)
{
    if (m_batch > 0) {
        m_batchChanged = true;
        return;
    }
    const QModelIndex at = index(r, c);
    Q_EMIT dataChanged(at, at, {role});
}

void FlexGridModel::rangeChanged(int firstRow, int lastRow)
{
    if (m_batch > 0) {
        m_batchChanged = true;
        return;
    }
    if (m_cols > 0)
        Q_EMIT dataChanged(index(firstRow, 0), index(lastRow, m_cols - 1));
}

void FlexGridModel::setText(int r, int c, const QString &text)
{
    if (!contains(r, c))
        return;
    QString &stored = m_rows[size_t(r)][size_t(c)].text;
    if (stored == text)
        return;
    stored = text;
    cellChanged(r, c, Qt::DisplayRole);
}

void FlexGridModel::setBack(int r, int c, const QColor &color)
{
    if (!contains(r, c))
        return;
    QColor &stored = m_rows[size_t(r)][size_t(c)].back;
    if (stored == color && stored.isValid() == color.isValid())
        return;
    stored = color;
    cellChanged(r, c, Qt::BackgroundRole);
}

void FlexGridModel::setMark(int r, int c, const QColor &color)
{
    if (!contains(r, c))
        return;
    QColor &stored = m_rows[size_t(r)][size_t(c)].mark;
    if (stored == color && stored.isValid() == color.isValid())
        return;
    stored = color;
    cellChanged(r, c, Qt::BackgroundRole);
}

void FlexGridModel::clearMarks()
{
    for (int r = 0; r < rows(); ++r) {
        for (int c = 0; c < m_cols; ++c)
            setMark(r, c, QColor());
    }
}

void FlexGridModel::setFore(int r, int c, const QColor &color)
{
    if (!contains(r, c))
        return;
    QColor &stored = m_rows[size_t(r)][size_t(c)].fore;
    if (stored == color && stored.isValid() == color.isValid())
        return;
    stored = color;
    cellChanged(r, c, Qt::ForegroundRole);
}

void FlexGridModel::setPicture(int r, int c, const QPixmap &picture)
{
    if (!contains(r, c))
        return;
    QPixmap &stored = m_rows[size_t(r)][size_t(c)].picture;
    if (stored.cacheKey() == picture.cacheKey())
        return;
    stored = picture;
    cellChanged(r, c, Qt::DecorationRole);
}

void FlexGridModel::reorderRows(int first, const std::vector<int> &order)
{
    const int count = int(order.size());
    if (count < 2 || first < 0 || first + count > rows())
        return;
    std::vector<std::vector<Cell>> taken;
    taken.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        taken.push_back(std::move(m_rows[size_t(first + i)]));
    for (int i = 0; i < count; ++i)
        m_rows[size_t(first + i)] = std::move(taken[size_t(order[size_t(i)])]);
    rangeChanged(first, first + count - 1);
}

void FlexGridModel::moveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= rows() || to >= rows())
        return;
    if (from < to)
        std::rotate(m_rows.begin() + from, m_rows.begin() + from + 1, m_rows.begin() + to + 1);
    else
        std::rotate(m_rows.begin() + to, m_rows.begin() + from, m_rows.begin() + from + 1);
    rangeChanged(std::min(from, to), std::max(from, to));
}

void FlexGridModel::beginBatch()
{
    if (m_batch++ == 0)
        m_batchChanged = false;
}

void FlexGridModel::endBatch()
{
    if (m_batch == 0 || --m_batch > 0)
        return;
    if (m_batchChanged && rows() > 0 && m_cols > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows() - 1, m_cols - 1));
    m_batchChanged = false;
}
