#include "StockMain.h"

#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "screen/Twips.h"
#include "screen/Zoom.h"
#include "settings/OptionsModel.h"
#include "settings/SettingsStore.h"
#include "window/ScrollerHost.h"
#include "window/TextFit.h"
#include "window/frmStockMain.h"

#include <QShortcut>

#include <algorithm>
#include <vector>

void StockMain::applyZoom(int percent)
{
    const int zoom = Zoom::snap(percent);
    frmStockMain *form = m_form.get();
    // The grid's columns keep their widths in twips, whatever the user dragged them to.
    FlexGrid *grid = form->gridQuotes();
    std::vector<double> widths;
    for (int c = 0; c < grid->cols(); ++c)
        widths.push_back(Twips::toTwips(*grid, grid->colWidth(c)));
    m_form->setZoom(zoom);
    for (int c = 0; c < grid->cols(); ++c)
        grid->setColWidth(c, Twips::toPixels(*grid, widths[std::size_t(c)]));
    grid->fitHeadings();

    if (m_scroller->widget() != nullptr) {
        const double size = scroller1Design().value(QStringLiteral("FontSize")).toDouble();
        m_scroller->setControlProperty("FontSize", size * zoom / 100.0);
    }
    // Captions and the delay notice are fitted again to their new room.
    TextFit::fitLabels(*m_form);
    TextFit::fitLabel(*form->lblDelayNotice(), QuoteDownload::delayNoticeText());
}

void StockMain::setZoom(int percent)
{
    m_options->model().Zoom.set(Zoom::snap(percent));
}

void StockMain::wireZoom()
{
    ZoomOption &zoom = m_options->model().Zoom;
    connect(&zoom, &OptionValue::changed, this, [this, &zoom] {
        applyZoom(zoom.value());
        // Written through at once, like the window's mode; what start-up reads is not
        // written back.
        if (m_settingsLoaded) {
            OptionsModel::store(zoom, m_state.CurrentPortfolio);
            SettingsStore::sync();
        }
    });
    const struct
    {
        QKeySequence keys;
        int direction;
    } keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Plus), 1},
                {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1},
                {QKeySequence(Qt::CTRL | Qt::Key_Minus), -1},
                {QKeySequence(Qt::CTRL | Qt::Key_0), 0}};
    for (const auto &k : keys) {
        auto *shortcut = new QShortcut(k.keys, m_form.get());
        const int direction = k.direction;
        connect(shortcut, &QShortcut::activated, this,
                [this, direction] { setZoom(Zoom::step(m_form->zoom(), direction)); });
    }
}
