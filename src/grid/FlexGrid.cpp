#include "FlexGrid.h"

#include "FlexGridModel.h"
#include "screen/Zoom.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <numeric>

// Draws every cell in its own colours or the grid's, and aligns it by its column.
class FlexGrid::Delegate : public QStyledItemDelegate
{
public:
    explicit Delegate(FlexGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool fixed = index.row() < m_grid->m_fixedRows;
        if (option->backgroundBrush.style() == Qt::NoBrush)
            option->backgroundBrush = fixed ? m_grid->m_fixedBackColor : m_grid->m_backColor;
        if (!index.data(Qt::ForegroundRole).isValid())
            option->palette.setColor(QPalette::Text,
                                     fixed ? m_grid->m_fixedForeColor : m_grid->m_foreColor);
        option->displayAlignment = m_grid->colAlignment(index.column());
        // Pictures grow with the zoom of the grid's window, smoothly scaled (an icon is
        // never drawn larger than its picture).
        if (const double zoom = Zoom::factor(*m_grid); zoom != 1.0 && !option->icon.isNull()) {
            const QSize size = option->decorationSize * zoom;
            const qreal ratio = m_grid->devicePixelRatioF();
            QPixmap picture =
                index.data(Qt::DecorationRole)
                    .value<QPixmap>()
                    .scaled(size * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            picture.setDevicePixelRatio(ratio);
            option->icon = QIcon(picture);
            option->decorationSize = size;
        }
        if (option->text.isEmpty()) {
            option->decorationAlignment = Qt::AlignCenter;
            option->features &= ~QStyleOptionViewItem::HasDisplay;
        } else {
            option->decorationAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        }
        // Fixed rows are never drawn as selected or focused: they are headers.
        if (fixed)
            option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }

private:
    FlexGrid *m_grid;
};

namespace {

// The application's style, except that table grid lines take the colour of the grid they
// belong to (the common styles use a fixed palette colour or one of their own).
class GridStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Table_GridLineColor) {
            for (const QWidget *w = widget; w; w = w->parentWidget()) {
                if (const auto *grid = qobject_cast<const FlexGrid *>(w))
                    return int(grid->gridColor().rgba());
            }
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One style for all grids, living as long as the application.
QStyle *sharedGridStyle()
{
    static QPointer<GridStyle> style;
    if (!style) {
        style = new GridStyle;
        style->setParent(qApp);
    }
    return style;
}

// Length of the number at the start of `text` from `pos`: digits with "," between
// groups of three, an optional "." fraction and an optional exponent. Returns the digits
// without group separators in `digits`.
bool scanNumber(const QString &text, qsizetype &pos, QString &number)
{
    const qsizetype n = text.size();
    auto isDigit = [&](qsizetype i) {
        return i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
    };
    bool any = false;
    if (pos < n && (text.at(pos) == QLatin1Char('+') || text.at(pos) == QLatin1Char('-')))
        number += text.at(pos++);
    while (true) {
        if (isDigit(pos)) {
            number += text.at(pos++);
            any = true;
        } else if (any && pos < n && text.at(pos) == QLatin1Char(',') && isDigit(pos + 1) &&
                   isDigit(pos + 2) && isDigit(pos + 3) && !isDigit(pos + 4)) {
            ++pos; // a thousands separator between digit groups
        } else {
            break;
        }
    }
    if (pos < n && text.at(pos) == QLatin1Char('.')) {
        number += QLatin1Char('.');
        ++pos;
        while (isDigit(pos)) {
            number += text.at(pos++);
            any = true;
        }
    }
    if (any && pos < n && (text.at(pos) == QLatin1Char('e') || text.at(pos) == QLatin1Char('E'))) {
        qsizetype e = pos + 1;
        if (e < n && (text.at(e) == QLatin1Char('+') || text.at(e) == QLatin1Char('-')))
            ++e;
        if (isDigit(e)) {
            number += QLatin1Char('e');
            number += text.mid(pos + 1, e - pos - 1);
            pos = e;
            while (isDigit(pos))
                number += text.at(pos++);
        }
    }
    return any;
}

qsizetype skipBlanks(const QString &text, qsizetype pos)
{
    while (pos < text.size() &&
           (text.at(pos) == QLatin1Char(' ') || text.at(pos) == QLatin1Char('\t')))
        ++pos;
    return pos;
}

// Generic comparison: numbers before texts, numbers by value, texts without regard to case.
int genericCompare(const QString &a, const QString &b)
{
    const bool na = FlexGrid::isNumericText(a);
    const bool nb = FlexGrid::isNumericText(b);
    if (na && nb) {
        const double x = FlexGrid::numericValue(a);
        const double y = FlexGrid::numericValue(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (na != nb)
        return na ? -1 : 1;
    return QString::compare(a, b, Qt::CaseInsensitive);
}

} // namespace

double FlexGrid::numericValue(const QString &text)
{
    qsizetype pos = skipBlanks(text, 0);
    QString number;
    if (!scanNumber(text, pos, number))
        return 0.0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

bool FlexGrid::isNumericText(const QString &text)
{
    qsizetype pos = skipBlanks(text, 0);
    QString number;
    if (!scanNumber(text, pos, number))
        return false;
    return skipBlanks(text, pos) == text.size();
}

FlexGrid::FlexGrid(QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setItemDelegate(new Delegate(this));
    setStyle(sharedGridStyle());

    // The overlay that keeps the fixed rows in place: a second view of the same model,
    // never scrolled vertically, covering the top of the viewport. It takes no input; the
    // grid reads presses in its area itself (rowAtPoint).
    m_fixedView = new QTableView(this);
    // Screen readers list it beside the grid: named for what it shows.
    m_fixedView->setObjectName(QStringLiteral("fixedRows"));
    m_fixedView->setAccessibleName(tr("Column headings"));
    m_fixedView->setModel(m_model);
    m_fixedView->setItemDelegate(itemDelegate());
    m_fixedView->setStyle(sharedGridStyle());
    m_fixedView->horizontalHeader()->hide();
    m_fixedView->verticalHeader()->hide();
    m_fixedView->horizontalHeader()->setMinimumSectionSize(0);
    m_fixedView->verticalHeader()->setMinimumSectionSize(0);
    m_fixedView->setFrameShape(QFrame::NoFrame);
    m_fixedView->setFocusPolicy(Qt::NoFocus);
    m_fixedView->setSelectionMode(QAbstractItemView::NoSelection);
    m_fixedView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fixedView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixedView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixedView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_fixedView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_fixedView->setWordWrap(false);
    m_fixedView->setTextElideMode(Qt::ElideNone);
    m_fixedView->setAttribute(Qt::WA_TransparentForMouseEvents);
    viewport()->stackUnder(m_fixedView);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int c, int, int size) { m_fixedView->setColumnWidth(c, size); });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int r, int, int size) {
        if (r < m_fixedRows) {
            m_fixedView->setRowHeight(r, size);
            updateFixedView();
        }
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_fixedView->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &FlexGrid::updateFixedView);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &FlexGrid::updateFixedView);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &FlexGrid::updateFixedView);

    applyRowHeight();
    applyPalette();
    m_model->setRows(2);
    m_model->setCols(2);
    updateFixedView();
}

FlexGrid::~FlexGrid() = default;

// ---- counts ------------------------------------------------------------------------------

int FlexGrid::rows() const
{
    return m_model->rows();
}

int FlexGrid::cols() const
{
    return m_model->cols();
}

void FlexGrid::setRows(int n)
{
    m_model->setRows(std::max({n, m_fixedRows, 0}));
    updateFixedView();
}

void FlexGrid::setCols(int n)
{
    const int count = std::max(n, 0);
    m_model->setCols(count);
    for (int c = 0; c < count; ++c)
        m_fixedView->setColumnWidth(c, columnWidth(c));
    updateFixedView();
}

void FlexGrid::setFixedRows(int n)
{
    m_fixedRows = std::max(n, 0);
    if (rows() < m_fixedRows)
        m_model->setRows(m_fixedRows);
    updateFixedView();
    viewport()->update();
}

// ---- current cell --------------------------------------------------------------------------

int FlexGrid::row() const
{
    return std::max(currentIndex().row(), 0);
}

int FlexGrid::col() const
{
    return std::max(currentIndex().column(), 0);
}

void FlexGrid::setRow(int r)
{
    if (r < 0 || r >= rows() || cols() == 0)
        return;
    setCurrentWithoutScroll(r, col());
}

void FlexGrid::setCol(int c)
{
    if (c < 0 || c >= cols() || rows() == 0)
        return;
    setCurrentWithoutScroll(row(), c);
}

void FlexGrid::setCurrentWithoutScroll(int r, int c)
{
    const bool scroll = hasAutoScroll();
    setAutoScroll(false);
    setCurrentIndex(m_model->index(r, c));
    setAutoScroll(scroll);
}

int FlexGrid::rowSel() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return row();
    const QItemSelection ranges = selectionModel()->selection();
    for (const QItemSelectionRange &range : ranges) {
        if (current.row() >= range.top() && current.row() <= range.bottom())
            return current.row() == range.top() ? range.bottom() : range.top();
    }
    return current.row();
}

int FlexGrid::colSel() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return col();
    const QItemSelection ranges = selectionModel()->selection();
    for (const QItemSelectionRange &range : ranges) {
        if (current.column() >= range.left() && current.column() <= range.right())
            return current.column() == range.left() ? range.right() : range.left();
    }
    return current.column();
}

// ---- cells ---------------------------------------------------------------------------------

bool FlexGrid::validCell(int r, int c) const
{
    return m_model->contains(r, c);
}

QString FlexGrid::textMatrix(int r, int c) const
{
    return validCell(r, c) ? m_model->cell(r, c).text : QString();
}

void FlexGrid::setTextMatrix(int r, int c, const QString &text)
{
    m_model->setText(r, c, text);
}

QColor FlexGrid::cellBackColor(int r, int c) const
{
    if (!validCell(r, c))
        return {};
    const FlexGridModel::Cell &cell = m_model->cell(r, c);
    return cell.mark.isValid() ? cell.mark : cell.back;
}

QColor FlexGrid::cellMarkColor(int r, int c) const
{
    return validCell(r, c) ? m_model->cell(r, c).mark : QColor();
}

void FlexGrid::setCellMarkColor(int r, int c, const QColor &color)
{
    m_model->setMark(r, c, color);
}

void FlexGrid::clearCellMarks()
{
    m_model->clearMarks();
}

void FlexGrid::setCellBackColor(int r, int c, const QColor &color)
{
    m_model->setBack(r, c, color);
}

QColor FlexGrid::cellForeColor(int r, int c) const
{
    return validCell(r, c) ? m_model->cell(r, c).fore : QColor();
}

void FlexGrid::setCellForeColor(int r, int c, const QColor &color)
{
    m_model->setFore(r, c, color);
}

QPixmap FlexGrid::cellPicture(int r, int c) const
{
    return validCell(r, c) ? m_model->cell(r, c).picture : QPixmap();
}

void FlexGrid::setCellPicture(int r, int c, const QPixmap &picture)
{
    m_model->setPicture(r, c, picture);
}

// ---- columns -------------------------------------------------------------------------------

int FlexGrid::colWidth(int c) const
{
    return (c >= 0 && c < cols()) ? columnWidth(c) : 0;
}

void FlexGrid::setColWidth(int c, int px)
{
    if (c >= 0 && c < cols())
        setColumnWidth(c, std::max(px, 0));
}

void FlexGrid::fitHeadings()
{
    if (rows() < 1)
        return;
    // The cell's own text margins on both sides, and a space between neighbouring headings.
    const QFontMetrics metrics(font());
    const int room = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) +
                     metrics.horizontalAdvance(QLatin1Char(' '));
    for (int c = 0; c < cols(); ++c)
        setColWidth(c, std::max(colWidth(c), metrics.horizontalAdvance(textMatrix(0, c)) + room));
}

Qt::Alignment FlexGrid::colAlignment(int c) const
{
    if (c >= 0 && c < m_colAlignment.size())
        return m_colAlignment.at(c);
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void FlexGrid::setColAlignment(int c, Qt::Alignment alignment)
{
    if (c < 0 || c >= cols())
        return;
    while (m_colAlignment.size() <= c)
        m_colAlignment.append(Qt::AlignLeft | Qt::AlignVCenter);
    m_colAlignment[c] = alignment;
    viewport()->update();
    m_fixedView->viewport()->update();
}

// ---- rows: sort, move, add, remove ------------------------------------------------------------

void FlexGrid::sort(SortKind kind)
{
    int first = m_fixedRows;
    int last = rows() - 1;
    const int a = row();
    const int b = rowSel();
    if (std::max(a, b) >= m_fixedRows && a != b) {
        first = std::min(a, b);
        last = std::max(a, b);
    }
    sortRows(kind, col(), first, last);
}

void FlexGrid::sortRows(SortKind kind, int c, int first, int last)
{
    first = std::max(first, m_fixedRows);
    last = std::min(last, rows() - 1);
    if (c < 0 || c >= cols() || last - first < 1)
        return;

    const int count = last - first + 1;
    QStringList keys;
    keys.reserve(count);
    for (int r = first; r <= last; ++r)
        keys.append(textMatrix(r, c));

    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    switch (kind) {
    case SortGenericAscending:
        std::stable_sort(order.begin(), order.end(),
                         [&](int x, int y) { return genericCompare(keys.at(x), keys.at(y)) < 0; });
        break;
    case SortGenericDescending:
        std::stable_sort(order.begin(), order.end(),
                         [&](int x, int y) { return genericCompare(keys.at(x), keys.at(y)) > 0; });
        break;
    case SortNumericAscending:
    case SortNumericDescending: {
        std::vector<double> values(count);
        for (int i = 0; i < count; ++i)
            values[i] = numericValue(keys.at(i));
        if (kind == SortNumericAscending)
            std::stable_sort(order.begin(), order.end(),
                             [&](int x, int y) { return values[x] < values[y]; });
        else
            std::stable_sort(order.begin(), order.end(),
                             [&](int x, int y) { return values[x] > values[y]; });
        break;
    }
    }

    m_model->reorderRows(first, order);
}

void FlexGrid::setRowPosition(int from, int to)
{
    const int count = rows();
    if (from < m_fixedRows || to < m_fixedRows || from >= count || to >= count || from == to)
        return;
    m_model->moveRow(from, to);
}

void FlexGrid::addItem(const QString &tabText)
{
    addItem(tabText, rows());
}

void FlexGrid::addItem(const QString &tabText, int index)
{
    const int r = std::clamp(index, m_fixedRows, rows());
    m_model->insertRows(r, 1);
    const QStringList fields = tabText.split(QLatin1Char('\t'));
    for (int c = 0; c < fields.size() && c < cols(); ++c)
        setTextMatrix(r, c, fields.at(c));
}

void FlexGrid::removeItem(int r)
{
    if (r < m_fixedRows || r >= rows())
        return;
    m_model->removeRows(r, 1);
}

// ---- drawing -------------------------------------------------------------------------------

void FlexGrid::setRedraw(bool on)
{
    m_redraw = on;
    setUpdatesEnabled(on);
    if (on) {
        viewport()->update();
        m_fixedView->viewport()->update();
    }
}

void FlexGrid::beginCellUpdate()
{
    m_model->beginBatch();
}

void FlexGrid::endCellUpdate()
{
    m_model->endBatch();
}

void FlexGrid::setGridColor(const QColor &color)
{
    m_gridColor = color;
    applyPalette();
}

void FlexGrid::setBackColor(const QColor &color)
{
    m_backColor = color;
    viewport()->update();
}

void FlexGrid::setForeColor(const QColor &color)
{
    m_foreColor = color;
    viewport()->update();
}

void FlexGrid::setFixedBackColor(const QColor &color)
{
    m_fixedBackColor = color;
    viewport()->update();
    m_fixedView->viewport()->update();
}

void FlexGrid::setFixedForeColor(const QColor &color)
{
    m_fixedForeColor = color;
    viewport()->update();
    m_fixedView->viewport()->update();
}

void FlexGrid::setBackColorBkg(const QColor &color)
{
    m_backColorBkg = color;
    applyPalette();
}

void FlexGrid::applyPalette()
{
    // The views paint the area without cells in Base; grid lines come from GridStyle.
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(this), static_cast<QAbstractItemView *>(m_fixedView)}) {
        QPalette pal = view->palette();
        pal.setColor(QPalette::Base, m_backColorBkg);
        view->setPalette(pal);
        view->viewport()->update();
    }
}

void FlexGrid::applyRowHeight()
{
    // Rows as tall as the font needs, like a classic grid, not the style's roomy default.
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(height);
    m_fixedView->verticalHeader()->setDefaultSectionSize(height);
    m_fixedView->setFont(font());
    for (int r = 0; r < rows(); ++r)
        setRowHeight(r, height);
}

void FlexGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_fixedView)
        applyRowHeight();
}

void FlexGrid::setGridLines(bool on)
{
    setShowGrid(on);
    m_fixedView->setShowGrid(on);
}

int FlexGrid::fixedHeight() const
{
    int height = 0;
    for (int r = 0; r < m_fixedRows && r < rows(); ++r)
        height += rowHeight(r);
    return height;
}

void FlexGrid::updateFixedView()
{
    if (!m_fixedView)
        return;
    const int height = std::min(fixedHeight(), viewport()->height());
    if (height <= 0) {
        m_fixedView->hide();
        return;
    }
    for (int r = 0; r < m_fixedRows && r < rows(); ++r)
        m_fixedView->setRowHeight(r, rowHeight(r));
    for (int c = 0; c < cols(); ++c)
        m_fixedView->setColumnWidth(c, columnWidth(c));
    m_fixedView->setShowGrid(showGrid());
    m_fixedView->setGridStyle(gridStyle());
    const QRect area = viewport()->geometry();
    m_fixedView->setGeometry(area.x(), area.y(), area.width(), height);
    m_fixedView->verticalScrollBar()->setValue(0);
    m_fixedView->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_fixedView->show();
    m_fixedView->raise();
}

void FlexGrid::paintEvent(QPaintEvent *event)
{
    // setShowGrid() and setGridStyle() are not virtual; the overlay follows them here.
    if (m_fixedView->showGrid() != showGrid())
        m_fixedView->setShowGrid(showGrid());
    if (m_fixedView->gridStyle() != gridStyle())
        m_fixedView->setGridStyle(gridStyle());
    QTableView::paintEvent(event);
}

void FlexGrid::updateGeometries()
{
    QTableView::updateGeometries();
    updateFixedView();
}

void FlexGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    updateFixedView();
}

void FlexGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    // A data row must not end up hidden under the fixed rows.
    if (index.isValid() && index.row() >= m_fixedRows && m_fixedRows > 0) {
        const int top = visualRect(index).top();
        const int covered = fixedHeight();
        if (top < covered)
            verticalScrollBar()->setValue(verticalScrollBar()->value() - (covered - top));
    }
}

QModelIndex FlexGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // The keyboard moves between data rows only; the fixed rows are headers.
    const QModelIndex next = QTableView::moveCursor(cursorAction, modifiers);
    if (!next.isValid() || next.row() >= m_fixedRows)
        return next;
    if (rows() > m_fixedRows)
        return model()->index(m_fixedRows, next.column());
    return currentIndex();
}

// ---- mouse ---------------------------------------------------------------------------------

int FlexGrid::rowAtPoint(const QPoint &pos) const
{
    if (m_fixedRows > 0 && m_fixedView->isVisible() && pos.y() >= 0 &&
        pos.y() < m_fixedView->height()) {
        int top = 0;
        for (int r = 0; r < m_fixedRows && r < rows(); ++r) {
            top += rowHeight(r);
            if (pos.y() < top)
                return r;
        }
        return -1;
    }
    return rowAt(pos.y());
}

int FlexGrid::colAtPoint(const QPoint &pos) const
{
    return columnAt(pos.x());
}

void FlexGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_mouseRow = rowAtPoint(pos);
    m_mouseCol = colAtPoint(pos);
    m_pressed = event->button() == Qt::LeftButton;
    if (m_mouseRow >= 0 && m_mouseRow < m_fixedRows) {
        // A press on a fixed row makes that cell current without selecting or scrolling.
        if (m_mouseCol >= 0)
            setCurrentWithoutScroll(m_mouseRow, m_mouseCol);
        event->accept();
    } else {
        QTableView::mousePressEvent(event);
    }
    Q_EMIT mouseDown(event->button(), event->modifiers(), m_mouseRow, m_mouseCol);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton;
    m_pressed = false;
    QTableView::mouseReleaseEvent(event);
    if (clicked)
        Q_EMIT click();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_mouseRow = rowAtPoint(pos);
    m_mouseCol = colAtPoint(pos);
    if (m_mouseRow >= 0 && m_mouseRow < m_fixedRows)
        event->accept();
    else
        QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT dblClick();
}
