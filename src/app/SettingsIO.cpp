#include "SettingsIO.h"

#include "common/MainState.h"
#include "common/Symbols.h"
#include "feed/FeedConfig.h"
#include "feed/FeedSources.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "screen/Colors.h"
#include "screen/Twips.h"
#include "settings/OptionsModel.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"
#include "window/frmStockMain.h"

#include <QMessageBox>
#include <QSlider>
#include <QWidget>

using namespace ValueForms;

namespace {

const QString kProgram = QStringLiteral("Settings");
constexpr int MaxSymbolSlots = 30;

using Values = std::initializer_list<OptionValue *>;
using StoredValues = std::initializer_list<const OptionValue *>;

QString key(const char *name, int index)
{
    return QString::fromLatin1(name) + QString::number(index);
}

} // namespace

SettingsIO::SettingsIO(MainState &state, frmStockMain &main, frmOptions &options)
    : m_state(state), m_main(main), m_options(options), m_model(options.model())
{
}

void SettingsIO::load(OptionValue &value) const
{
    OptionsModel::load(value, m_state.CurrentPortfolio);
}

void SettingsIO::store(const OptionValue &value) const
{
    OptionsModel::store(value, m_state.CurrentPortfolio);
}

QString SettingsIO::section() const
{
    return SettingsStore::portfolioSection(m_state.CurrentPortfolio);
}

QString SettingsIO::read(const QString &key, const QString &defaultValue) const
{
    return SettingsStore::read(section(), key, defaultValue);
}

void SettingsIO::write(const QString &key, const QString &value) const
{
    SettingsStore::write(section(), key, value);
}

void SettingsIO::loadSymbolRows()
{
    FlexGrid *grid = m_options.gridSymbols();
    grid->setRows(1);
    QStringList refused;
    for (int i = 0; i < MaxSymbolSlots; ++i) {
        const QString symbol = Symbols::clean(read(key("Symbol", i), QString()));
        if (symbol.isEmpty())
            continue;
        // A symbol that cannot be asked for (edited by hand, or from an older build) keeps
        // its row, so that the next save does not lose it; the download leaves it out.
        const QString refusal = Symbols::refusal(symbol);
        if (!refusal.isEmpty())
            refused.append(QStringLiteral("\"%1\": %2").arg(symbol, refusal));
        // Cell by cell: a tab in a stored value must not shift the row's columns.
        grid->addItem(QString());
        const int row = grid->rows() - 1;
        grid->setTextMatrix(row, 0, symbol);
        grid->setTextMatrix(row, 1, read(key("Shares", i + 1), QStringLiteral("0")));
        grid->setTextMatrix(row, 2, read(key("LowAlert", i + 1), QStringLiteral(".00")));
        grid->setTextMatrix(row, 3, read(key("HighAlert", i + 1), QStringLiteral(".00")));
        const auto logged = toInt16(read(key("Log", i + 1), QStringLiteral("0")));
        grid->setCellPicture(row, 4,
                             ImageList::instance().image(logged && *logged == 1
                                                             ? ImageList::BoxTicked
                                                             : ImageList::BoxEmpty));
    }
    reportRefusedSymbols(refused);
}

void SettingsIO::reportRefusedSymbols(const QStringList &refused)
{
    // Once per portfolio and run: every load would otherwise say it again.
    if (refused.isEmpty() || m_refusalsReported.contains(m_state.CurrentPortfolio))
        return;
    m_refusalsReported.insert(m_state.CurrentPortfolio);
    Platform::instance().messageBox->show(
        nullptr, QStringLiteral("Vantora Invalid Symbol"),
        QStringLiteral("These symbols of the portfolio \"%1\" are kept in the symbol list but "
                       "not asked for:\r\n%2\r\nCorrect or remove them in Options.")
            .arg(m_state.CurrentPortfolio, refused.join(QStringLiteral("\r\n"))),
        MessageBoxService::Icon::Warning, QMessageBox::Ok);
}

void SettingsIO::saveSymbolRows()
{
    FlexGrid *grid = m_options.gridSymbols();
    const qint64 tickedKey = ImageList::instance().image(ImageList::BoxTicked).cacheKey();
    const int rows = grid->rows() - 1;
    for (int r = 1; r <= rows; ++r) {
        write(key("Symbol", r - 1), grid->textMatrix(r, 0));
        write(key("Shares", r), grid->textMatrix(r, 1));
        write(key("LowAlert", r), grid->textMatrix(r, 2));
        write(key("HighAlert", r), grid->textMatrix(r, 3));
        write(key("Log", r), grid->cellPicture(r, 4).cacheKey() == tickedKey ? QStringLiteral("1")
                                                                             : QStringLiteral("0"));
    }
    // Rows removed since the last save leave their slots behind; they go only now, so
    // that a removal never touches the store before the list is saved.
    for (int r = rows + 1; r <= MaxSymbolSlots; ++r) {
        SettingsStore::removeKey(section(), key("Symbol", r - 1));
        for (const char *name : {"Shares", "LowAlert", "HighAlert", "Log"})
            SettingsStore::removeKey(section(), key(name, r));
    }
}

void SettingsIO::loadColors()
{
    for (ColorOption *color : {&m_model.EvenRowColor, &m_model.OddRowColor, &m_model.TextColor,
                               &m_model.HeaderColor, &m_model.HeaderTextColor}) {
        const QString text = read(color->key(), color->defaultText());
        if (text.isEmpty())
            continue; // an empty colour keeps its previous value
        color->load(text);
        m_options.showColor(*color);
        if (color == &m_model.TextColor)
            m_state.GridTextColor = color->value();
        if (color == &m_model.HeaderTextColor)
            m_main.gridQuotes()->setRow(0);
    }
}

void SettingsIO::GetSettings()
{
    frmStockMain *mainForm = &m_main;

    // 1-2. The symbol rows.
    loadSymbolRows();

    // 3. Column widths of the quote grid, read whenever AutoUpdate reads as text at all. A
    // width never stored keeps the column's standard width: the old 250-twip default made
    // every column too narrow to read on a first start.
    if (!read(QStringLiteral("AutoUpdate"), QStringLiteral("False")).isEmpty()) {
        FlexGrid *grid = mainForm->gridQuotes();
        m_colWidthTwips.assign(std::size_t(grid->cols()), -1);
        for (int i = 0; i < grid->cols(); ++i) {
            const QString stored = read(key("ColWidth", i));
            if (stored.isEmpty())
                continue;
            auto width = toInt32(stored);
            if (!width || *width < 0)
                width = 250;
            // A stored standard width is the standard one, which makes room for the
            // column's heading in the font in use.
            if (*width == QuoteGrid::columnWidthTwips(i, m_state.RealTimeMode))
                continue;
            m_colWidthTwips[std::size_t(i)] = *width;
            grid->setColWidth(i, Twips::toPixels(*grid, *width));
        }
    }

    // 4. The main window's source lists.
    for (OptionValue *value : Values{&m_model.ChartTime, &m_model.StockNews, &m_model.ChartFreq})
        load(*value);

    // 5. Positions of the catalogues.
    for (OptionValue *value : Values{&m_model.HomePageIndex, &m_model.IPOIndex, &m_model.Screener})
        load(*value);

    // 6. The data-source addresses.
    for (OptionValue *value : Values{&m_model.IndicesURL, &m_model.StockURL, &m_model.RadioURL,
                                     &m_model.BTVURL, &m_model.MarketURL, &m_model.QuoteSource})
        load(*value);

    // 7. The market-index boxes.
    for (CheckOption &index : m_model.Index)
        load(index);

    // 8.
    for (OptionValue *value :
         Values{&m_model.AutoUpdate, &m_model.EnableAutoDial, &m_model.UseDialUp,
                &m_model.StartHomePage, &m_model.HomeSeparateBrowser, &m_model.ScrollPause,
                &m_model.EnableScrollIndex})
        load(*value);

    // 9. The dial-up entry, only while dial-up is chosen.
    if (m_model.UseDialUp.value())
        load(m_model.DialUpDefault);

    // 10.
    for (OptionValue *value :
         Values{&m_model.EnableAutoSort,   &m_model.SortOrder0,     &m_model.SortOrder1,
                &m_model.ShowGridLines,    &m_model.EnableLowAlert, &m_model.EnableHighAlert,
                &m_model.AlertPopUp,       &m_model.AlertVisual,    &m_model.AlertSound,
                &m_model.AlertNotify,      &m_model.QuoteLogging,   &m_model.SeparateLogFiles,
                &m_model.KeepOnTop,        &m_model.StopBrowser,    &m_model.DisconnectOnExit,
                &m_model.UseDefaultColors, &m_model.UseProxyServer, &m_model.ProxyServer,
                &m_model.ProxyPort,        &m_model.Reconnect,      &m_model.ShowStockValue,
                &m_model.PortfolioValue})
        load(*value);
    // The portfolio's fee, shown in the fee box while no transaction is being prepared.
    load(m_model.TradeFee);
    m_options.showTradeFee();
    load(m_model.Available);
    load(m_model.ScrollSpeed);

    // 11.
    const auto realTime = toFlag(read(QStringLiteral("AutoRemove"), QStringLiteral("False")));
    m_state.RealTimeMode = realTime.value_or(false);

    // 12.
    loadColors();
}

bool SettingsIO::SaveSettings()
{
    frmStockMain *mainForm = &m_main;
    m_options.takeListPositions();

    // 1.
    SettingsStore::write(QStringLiteral("Settings\\"), QStringLiteral("Path"),
                         ProgramFolder::path());

    // 2. The settings in memory belong to the loaded portfolio, CurrentPortfolio. An entry
    // picked in the list but not loaded (Cancel after a pick, or Exit with the window open)
    // must not receive them, so the loaded portfolio's name and its own list position are
    // written.
    const int startIndex = m_options.portfolioIndex(m_state.CurrentPortfolio);
    SettingsStore::write(kProgram, QStringLiteral("StartPortfolio"), m_state.CurrentPortfolio);
    SettingsStore::write(kProgram, QStringLiteral("StartPortfolioIndex"),
                         QString::number(startIndex < 0 ? 0 : startIndex));

    // 3.
    const QPoint pos = m_main.pos();
    write(QStringLiteral("Top"), singleText(Twips::toTwips(pos.y())));
    write(QStringLiteral("Left"), singleText(Twips::toTwips(pos.x())));
    if (const auto place = m_options.shownPlace()) {
        SettingsStore::write(kProgram, QStringLiteral("OptionsLeft"),
                             singleText(Twips::toTwips(place->x())));
        SettingsStore::write(kProgram, QStringLiteral("OptionsTop"),
                             singleText(Twips::toTwips(place->y())));
    }
    write(QStringLiteral("AutoRemove"), flagText(m_state.RealTimeMode));
    write(QStringLiteral("Mode"), m_state.WindowMode);

    // 4. An address never read (or read empty) takes its default now.
    auto address = [&](TextOption &value) {
        if (value.value().isEmpty())
            value.set(value.defaultValue());
        store(value);
    };
    address(m_model.IndicesURL);
    address(m_model.RadioURL);
    address(m_model.BTVURL);
    address(m_model.HomePage);

    // 5.
    for (const OptionValue *value :
         StoredValues{&m_model.HomePageIndex, &m_model.IPOIndex, &m_model.Screener})
        store(*value);

    // 6.
    address(m_model.StockURL);
    address(m_model.MarketURL);
    store(m_model.QuoteSource);

    // 7.
    for (const OptionValue *value : StoredValues{
             &m_model.ProxyPort,       &m_model.ProxyServer,         &m_model.UseProxyServer,
             &m_model.AutoUpdate,      &m_model.UseDialUp,           &m_model.ShowGridLines,
             &m_model.KeepOnTop,       &m_model.StopBrowser,         &m_model.Reconnect,
             &m_model.QuoteLogging,    &m_model.SeparateLogFiles,    &m_model.EnableAutoDial,
             &m_model.StartHomePage,   &m_model.HomeSeparateBrowser, &m_model.ScrollPause,
             &m_model.ScrollPauseTime, &m_model.EnableScrollIndex,   &m_model.UpdateSeconds,
             &m_model.DialUpDefault,   &m_model.EnableLowAlert,      &m_model.EnableHighAlert,
             &m_model.AlertPopUp,      &m_model.AlertVisual,         &m_model.AlertSound,
             &m_model.AlertNotify,     &m_model.PortfolioValue,      &m_model.TradeFee,
             &m_model.Available,       &m_model.ShowStockValue,      &m_model.ScrollSpeed,
             &m_model.EnableAutoSort,  &m_model.SortOrder0,          &m_model.SortOrder1,
             &m_model.SortColumn,      &m_model.StockNews,           &m_model.ChartFreq,
             &m_model.ChartTime,       &m_model.DisconnectOnExit,    &m_model.UseDefaultColors})
        store(*value);

    // 8.
    for (const OptionValue *value :
         StoredValues{&m_model.EvenRowColor, &m_model.OddRowColor, &m_model.TextColor,
                      &m_model.HeaderColor, &m_model.HeaderTextColor})
        store(*value);

    // 9.
    saveSymbolRows();

    // 10.
    FlexGrid *grid = mainForm->gridQuotes();
    grid->setRow(0);
    for (int i = 0; i < grid->cols(); ++i) {
        // A width read in twips and not changed since is written back exactly, so pixel
        // rounding never makes stored widths drift.
        const int pixels = grid->colWidth(i);
        const std::size_t slot = std::size_t(i);
        int twips = qRound(Twips::toTwips(*grid, pixels));
        if (slot < m_colWidthTwips.size() && m_colWidthTwips[slot] >= 0 &&
            Twips::toPixels(*grid, m_colWidthTwips[slot]) == pixels)
            twips = m_colWidthTwips[slot];
        else if (const int standard = QuoteGrid::columnWidthTwips(i, m_state.RealTimeMode);
                 Twips::toPixels(*grid, standard) == pixels)
            twips = standard;
        write(key("ColWidth", i), QString::number(twips));
    }

    // 11.
    for (const CheckOption &index : m_model.Index)
        store(index);

    if (SettingsStore::sync()) {
        m_saveFailure.succeeded();
        return true;
    }
    m_saveFailure.failed(&m_main, QStringLiteral("settings"), SettingsStore::fileName(),
                         WriteFailureNotice::unwritableReason(),
                         WriteFailureNotice::settingsConsequence());
    return false;
}
