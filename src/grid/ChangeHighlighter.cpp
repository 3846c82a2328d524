#include "ChangeHighlighter.h"

#include "FlexGrid.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "grid/ImageList.h"
#include "screen/Colors.h"

namespace {

constexpr int kLastPriceColumn = 4;
constexpr int kDayLowColumn = 9;
constexpr int kDayHighColumn = 10;
constexpr int kNameColumn = 12;

void setArrow(FlexGrid &grid, int row, ImageList::Index arrow)
{
    const QPixmap picture = ImageList::instance().image(arrow);
    if (grid.cellPicture(row, kNameColumn).cacheKey() != picture.cacheKey())
        grid.setCellPicture(row, kNameColumn, picture);
}

} // namespace

ChangeHighlighter::ChangeHighlighter(MainState &state, FlexGrid &grid)
    : m_state(state), m_grid(grid)
{
}

bool ChangeHighlighter::isColoredColumn(int column)
{
    return column == 1 || column == 2 || column == kLastPriceColumn || column == kDayLowColumn ||
           column == kDayHighColumn;
}

void ChangeHighlighter::ColorChangedCell()
{
    ColorChangedCell(m_grid.row(), m_grid.col());
}

void ChangeHighlighter::ColorChangedCell(int r, int c)
{
    if (m_state.SymbolsChanged)
        return;
    if (!isColoredColumn(c))
        return;
    // The text colour, the rise or fall colour when the value moved that way: worked out
    // first and written once, since every write notifies the grid's views.
    qint32 color = m_state.GridTextColor;
    // The tables hold the symbol rows that fit; a grid row beyond them has no history.
    // A symbol without a previous quote (new in the list) has nothing to compare with.
    if (r >= 0 && r <= MainState::MaxQuoteRows && !m_state.PreviousQuotes[r][c].isEmpty()) {
        const double previous = Val(m_state.PreviousQuotes[r][c]);
        const double current = Val(m_state.CurrentQuotes[r][c]);
        if (current > previous && c != kDayLowColumn)
            color = Colors::Rise;
        else if (current < previous && c != kDayHighColumn)
            color = Colors::Fall;
    }
    m_grid.setCellForeColor(r, c, Colors::fromBgr(color));
}

void ChangeHighlighter::HighlightChanges()
{
    for (int r = m_grid.fixedRows(); r < m_grid.rows(); ++r) {
        for (int c : {5, 6}) {
            const QString text = m_grid.textMatrix(r, c);
            if (text.startsWith(u'+')) {
                m_grid.setCellForeColor(r, c, Colors::fromBgr(Colors::Rise));
                setArrow(m_grid, r, ImageList::ArrowUp);
            } else if (text.startsWith(u'-')) {
                m_grid.setCellForeColor(r, c, Colors::fromBgr(Colors::Fall));
                setArrow(m_grid, r, ImageList::ArrowDown);
            } else {
                m_grid.setCellForeColor(r, c, Colors::fromBgr(m_state.GridTextColor));
                m_grid.setCellPicture(r, kNameColumn, QPixmap());
            }
        }
    }
}
