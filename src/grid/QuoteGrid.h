#pragma once

#include "WindowControls.h"

#include <QStringList>
#include <Qt>

#include <functional>

class FlexGrid;
struct MainState;

// The quote grid: its layout and colour scheme (one header row and thirteen columns),
// sorting, the mouse actions on it, and keeping the Options symbol list in its row order.
class QuoteGrid
{
public:
    QuoteGrid(MainState &state, FlexGrid &grid, const OptionControls &options);

    static constexpr int ColumnCount = 13;
    // Column headers in column order; "Bid" and "Ask" replace columns 1 and 2 in real-time
    // mode.
    static QStringList headers(bool realTimeMode);
    // Standard column widths in twips.
    static int columnWidthTwips(int column, bool realTimeMode);

    void GridSetup();
    void AddLabels();
    // The standard widths, widened where a heading would not show whole in the grid's
    // font (the headings are written too).
    void SizeColumns();
    // Applies the colour scheme in force. The grid is left hidden with redrawing off;
    // callers show it and switch redrawing on.
    void RowColors();
    // Shows the grid and switches its redrawing on again.
    void showGrid();
    // Removes the alert colours, which RowColors leaves shown over the row colours: an
    // alert painted by one download lasts until the next one, which paints it again only
    // while the price is still beyond its limit.
    void clearAlertColors();

    // Sorts the data rows by the current column: a generic pass, then a stable numeric
    // pass, both ascending or both descending.
    void sortByCurrentColumn(bool ascending);
    // After a download: sorts by the column chosen in cboSort and the order chosen in
    // optSortOrder, when auto-sorting is enabled.
    void AutoSort();
    // Moves the Options symbol rows into the grid's row order (after a row was moved).
    void SyncGrids();

    // Mouse actions.
    void gridQuotes_Click();
    void gridQuotes_DblClick();
    void gridQuotes_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row,
                              int col);

    // What a right-click opens (the main pop-up menu; unset: nothing opens).
    void setContextMenu(std::function<void()> open) { m_contextMenu = std::move(open); }
    // Resets the browser panel's buttons; a click on a row in browser mode runs it, so that
    // the panel follows the selected stock.
    void setPanelReset(std::function<void()> reset) { m_panelReset = std::move(reset); }

    // The printable chart page that a double-click on a symbol opens: the charting site's,
    // or the built-in feed's when `site` names it.
    static QString chartPageAddress(const QString &symbol, const QString &site = QString());

private:
    MainState &m_state;
    FlexGrid &m_grid;
    OptionControls m_options;
    std::function<void()> m_contextMenu;
    std::function<void()> m_panelReset;
};
