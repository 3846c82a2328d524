#pragma once

#include <QStringList>

class FlexGrid;
struct MainState;
class frmOptions;

// The quote grid's layout and colour scheme: one header row and thirteen columns.
class QuoteGrid
{
public:
    QuoteGrid(MainState &state, FlexGrid &grid, frmOptions &options);

    static constexpr int ColumnCount = 13;
    // Column headers in column order; "Bid" and "Ask" replace columns 1 and 2 in real-time
    // mode.
    static QStringList headers(bool realTimeMode);
    // Standard column widths in twips.
    static int columnWidthTwips(int column, bool realTimeMode);

    void GridSetup();
    void AddLabels();
    void SizeColumns();
    // Applies the colour scheme in force. The grid is left hidden with redrawing off;
    // callers show it and switch redrawing on.
    void RowColors();
    // Shows the grid and switches its redrawing on again.
    void showGrid();

private:
    MainState &m_state;
    FlexGrid &m_grid;
    frmOptions &m_options;
};
