#include "QuoteGrid.h"

#include "FlexGrid.h"
#include "WindowControls.h"
#include "common/Colors.h"
#include "common/MainState.h"
#include "common/Twips.h"
#include "platform/Platform.h"
#include "settings/Catalogues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QMenu>
#include <QRadioButton>
#include <QUrl>

namespace {

constexpr qint32 kDefaultHeaderBack = 0xC0C0C0;
constexpr qint32 kDefaultHeaderText = 0x0;
constexpr qint32 kDefaultText = 0xFFFFFF;
constexpr qint32 kGridLines = 0x808080;
constexpr qint32 kDefaultOdd = 0x606000;
constexpr qint32 kDefaultEven = 0x004000;

} // namespace

QuoteGrid::QuoteGrid(MainState &state, FlexGrid &grid, const OptionControls &options)
    : m_state(state), m_grid(grid), m_options(options)
{
}

QStringList QuoteGrid::headers(bool realTimeMode)
{
    return {QStringLiteral("Symbol"),
            realTimeMode ? QStringLiteral("Bid") : QStringLiteral("Pre Close"),
            realTimeMode ? QStringLiteral("Ask") : QStringLiteral("EPS"),
            QStringLiteral("Time"),
            QStringLiteral("Last"),
            QStringLiteral("Change"),
            QStringLiteral("Percent"),
            QStringLiteral("Volume"),
            QStringLiteral("Open"),
            QStringLiteral("Day Low"),
            QStringLiteral("Day High"),
            QStringLiteral("P/E Ratio"),
            QStringLiteral("Name")};
}

int QuoteGrid::columnWidthTwips(int column, bool realTimeMode)
{
    static const int normal[ColumnCount] = {540, 750, 450, 650, 500, 600, 630,
                                            750, 550, 620, 650, 700, 2300};
    if (column < 0 || column >= ColumnCount)
        return 0;
    if (realTimeMode && (column == 1 || column == 2))
        return 550;
    return normal[column];
}

void QuoteGrid::GridSetup()
{
    m_grid.setRows(2);
    m_grid.setCols(ColumnCount);
    m_grid.setFixedRows(1);
    for (int c = 0; c < ColumnCount; ++c)
        m_grid.setColAlignment(c, Qt::AlignCenter);
    // The area below the last row is dark grey, as behind the ticker.
    m_grid.setBackColorBkg(Colors::fromBgr(Colors::DarkGrey));
}

void QuoteGrid::AddLabels()
{
    const QStringList labels = headers(m_state.RealTimeMode);
    for (int c = 0; c < ColumnCount && c < m_grid.cols(); ++c)
        m_grid.setTextMatrix(0, c, labels.at(c));
}

void QuoteGrid::SizeColumns()
{
    m_grid.setCols(ColumnCount);
    m_grid.setRow(0);
    for (int c = 0; c < ColumnCount; ++c)
        m_grid.setColWidth(c, Twips::toPixels(columnWidthTwips(c, m_state.RealTimeMode)));
    // Headings are read whole whatever the font; the grid scrolls to the columns beyond.
    const QStringList labels = headers(m_state.RealTimeMode);
    for (int c = 0; c < ColumnCount; ++c)
        m_grid.setTextMatrix(0, c, labels.at(c));
    m_grid.fitHeadings();
}

void QuoteGrid::RowColors()
{
    m_grid.setVisible(false);
    m_grid.setRedraw(false);

    const bool defaults = m_options.chkUseDefaultColors->isChecked();
    if (defaults)
        m_options.setColorButtonsEnabled(false);
    else
        m_options.setColorButtonsEnabled(true);

    const qint32 headerBack = defaults ? kDefaultHeaderBack : m_state.HeaderColor;
    const qint32 headerText = defaults ? kDefaultHeaderText : m_state.HeaderTextColor;
    const qint32 text = defaults ? kDefaultText : m_state.TextColor;
    m_grid.setFixedBackColor(Colors::fromBgr(headerBack));
    m_grid.setFixedForeColor(Colors::fromBgr(headerText));
    m_grid.setForeColor(Colors::fromBgr(text));
    m_grid.setGridColor(Colors::fromBgr(kGridLines));
    m_state.GridTextColor = text;

    const QColor even = Colors::fromBgr(defaults ? kDefaultEven : m_state.EvenRowColor);
    const QColor odd = Colors::fromBgr(defaults ? kDefaultOdd : m_state.OddRowColor);
    // Alert colours are marks over these and stay shown until the next download's alert
    // check, whatever the scheme and the row.
    for (int r = 1; r < m_grid.rows(); ++r) {
        for (int c = 0; c < m_grid.cols(); ++c)
            m_grid.setCellBackColor(r, c, r % 2 == 0 ? even : odd);
    }
    m_grid.setShowGrid(m_options.chkShowGridLines->isChecked());
}

void QuoteGrid::clearAlertColors()
{
    m_grid.clearCellMarks();
}

void QuoteGrid::showGrid()
{
    m_grid.setVisible(true);
    m_grid.setRedraw(true);
}

void QuoteGrid::sortByCurrentColumn(bool ascending)
{
    // The generic pass puts numbers and texts in order; the numeric pass is stable, so rows
    // of equal value (all texts, for instance) keep the generic pass's order.
    m_grid.sort(ascending ? FlexGrid::SortGenericAscending : FlexGrid::SortGenericDescending);
    m_grid.sort(ascending ? FlexGrid::SortNumericAscending : FlexGrid::SortNumericDescending);
}

void QuoteGrid::AutoSort()
{
    const OptionControls *ui = &m_options;
    if (!ui->chkEnableAutoSort->isChecked())
        return;
    m_grid.setCol(ui->cboSort->currentIndex());
    if (m_options.optSortOrder[0]->isChecked())
        sortByCurrentColumn(true);
    else if (m_options.optSortOrder[1]->isChecked())
        sortByCurrentColumn(false);
    RowColors();
}

void QuoteGrid::SyncGrids()
{
    FlexGrid &symbols = *m_options.gridSymbols;
    m_grid.setCol(0);
    symbols.setCol(0);
    symbols.setVisible(false);
    symbols.setRedraw(false);

    for (int i = 1; i < m_grid.rows(); ++i) {
        const QString symbol = m_grid.textMatrix(i, 0);
        for (int j = 1; j < symbols.rows(); ++j) {
            if (symbols.textMatrix(j, 0) != symbol)
                continue;
            int at = j;
            while (at != i && at > 1) {
                symbols.setRowPosition(at, at - 1);
                --at;
            }
            while (at != i && at < symbols.rows() - 1) {
                symbols.setRowPosition(at, at + 1);
                ++at;
            }
            break;
        }
    }

    RowColors();
    symbols.setVisible(true);
    m_grid.setRow(m_state.SelectedRow);
}

void QuoteGrid::gridQuotes_Click()
{
    m_state.SelectedRow = qint16(m_grid.rowSel());
    if (m_state.SelectedRow == 0)
        m_state.SelectedRow = 1;
    if (m_state.WindowMode == QLatin1String("Browser")) {
        m_state.ActiveButton.clear();
        if (m_panelReset)
            m_panelReset();
    }
}

QString QuoteGrid::chartPageAddress(const QString &symbol, const QString &site)
{
    // One-day chart (period 1) at the finest frequency (9).
    return Catalogues::chartAddress(symbol, 1, 9, site);
}

void QuoteGrid::gridQuotes_DblClick()
{
    if (m_grid.row() <= 0)
        return;
    const QString symbol = m_grid.text();
    // The system's browser stands for the fixed browser program.
    Platform::instance().programs->openUrl(QUrl(
        chartPageAddress(symbol, Catalogues::builtInSite(m_state.StockURL)), QUrl::TolerantMode));
}

void QuoteGrid::gridQuotes_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                     int /*row*/, int col)
{
    if (button == Qt::RightButton) {
        if (m_contextMenu)
            m_contextMenu();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (shift && m_options.chkEnableClickSort->isChecked()) {
        if (col >= 0)
            m_grid.setCol(col);
        sortByCurrentColumn(m_state.ClickSortAscending);
        RowColors();
        showGrid();
        m_state.ClickSortAscending = !m_state.ClickSortAscending;
    }
    if (ctrl) {
        // Back to the standard column widths after the user has dragged them.
        SizeColumns();
        RowColors();
        showGrid();
    }
}
