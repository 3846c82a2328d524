#pragma once

class FlexGrid;
struct MainState;

// What moved since the previous download, shown in the quote grid: the text colour of a
// price that rose or fell, the colour of the change columns by their sign and the arrow
// beside the company name.
class ChangeHighlighter
{
public:
    ChangeHighlighter(MainState &state, FlexGrid &grid);

    // Columns whose cells ColorChangedCell colours.
    static bool isColoredColumn(int column);

    // Colours the text of the grid's current cell (row r, column c) by comparing
    // PreviousQuotes(r, c) with CurrentQuotes(r, c): bright green for a rise, red-orange for
    // a fall, the grid's text colour when nothing changed. Prices (columns 1, 2 and 4)
    // show both; the day low (9) only a fall and the day high (10) only a rise. Nothing is
    // coloured on the first download after start-up or after the symbol list changed.
    void ColorChangedCell();
    // The same for the cell (r, c), leaving the grid's current cell where it is.
    void ColorChangedCell(int r, int c);

    // For every data row: the change and percent columns (5 and 6) coloured by the sign of
    // their text, and the up or down arrow in the name column (12). The percent column is
    // handled last, so its sign decides the arrow.
    void HighlightChanges();

private:
    MainState &m_state;
    FlexGrid &m_grid;
};
