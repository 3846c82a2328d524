#include "QuoteGrid.h"

#include "FlexGrid.h"
#include "app/MainState.h"
#include "common/Colors.h"
#include "common/Twips.h"
#include "options/frmOptions.h"
#include "ui_frmOptions.h"

namespace {

constexpr qint32 kDefaultHeaderBack = 0xC0C0C0;
constexpr qint32 kDefaultHeaderText = 0x0;
constexpr qint32 kDefaultText = 0xFFFFFF;
constexpr qint32 kGridLines = 0x808080;
constexpr qint32 kDefaultOdd = 0x606000;
constexpr qint32 kDefaultEven = 0x004000;

} // namespace

QuoteGrid::QuoteGrid(MainState &state, FlexGrid &grid, frmOptions &options)
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
}

void QuoteGrid::RowColors()
{
    m_grid.setVisible(false);
    m_grid.setRedraw(false);

    const bool defaults = m_options.ui->chkUseDefaultColors->isChecked();
    if (defaults)
        m_options.DisableColorButtons();
    else
        m_options.EnableColorButtons();

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
    const QColor keepRed = Colors::fromBgr(0xFF);
    const QColor keepGreen = Colors::fromBgr(0xFF00);
    for (int r = 1; r < m_grid.rows(); ++r) {
        for (int c = 0; c < m_grid.cols(); ++c) {
            if (r % 2 == 0) {
                // In the default scheme an even-row cell that an alert painted pure red or
                // green keeps its colour.
                const QColor current = m_grid.cellBackColor(r, c);
                if (defaults && (current == keepRed || current == keepGreen))
                    continue;
                m_grid.setCellBackColor(r, c, even);
            } else {
                m_grid.setCellBackColor(r, c, odd);
            }
        }
    }
    m_grid.setShowGrid(m_options.ui->chkShowGridLines->isChecked());
}

void QuoteGrid::showGrid()
{
    m_grid.setVisible(true);
    m_grid.setRedraw(true);
}
