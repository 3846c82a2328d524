#include "SettingsIO.h"

#include "common/Colors.h"
#include "common/MainState.h"
#include "common/Symbols.h"
#include "common/Twips.h"
#include "feed/FeedConfig.h"
#include "feed/FeedSources.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"
#include "ui_frmOptions.h"
#include "window/frmStockMain.h"

#include <QComboBox>
#include <QMessageBox>
#include <QSlider>
#include <QWidget>

using namespace ValueForms;

namespace {

const QString kProgram = QStringLiteral("Settings");
constexpr int MaxSymbolSlots = 30;

QString key(const char *name, int index)
{
    return QString::fromLatin1(name) + QString::number(index);
}

} // namespace

QString SettingsIO::defaultIndicesURL()
{
    return FeedConfig::defaultIndicesUrl();
}

QString SettingsIO::defaultStockURL()
{
    return FeedConfig::defaultStockUrl();
}

QString SettingsIO::defaultMarketURL()
{
    return FeedConfig::defaultMarketUrl();
}

QString SettingsIO::defaultRadioURL()
{
    return QStringLiteral("http://radio.vantora-media.test/cgi-bin/MediaPref.cgi?page=radio1");
}

QString SettingsIO::defaultBTVURL()
{
    const QString stream =
        QStringLiteral("http://live.vantora-media.test/streams/video/LiveBTV56.asxx");
    return QStringLiteral("http://video.vantora-media.test/vss-bin/vss_SR/smedia_prod/search?") +
           QStringLiteral("clipSource=") + stream +
           QStringLiteral(";template=viewer_frameset.tmpl") + QStringLiteral(";wm56File=") +
           stream + QStringLiteral(";autostart=true;clipTitle=LiveBTV;snapshot=true");
}

// With the built-in feed's quote address (the program's demo, which runs offline), the
// media buttons lead to the feed's pages, which name the live sources; otherwise to them.
QString SettingsIO::btvDefault() const
{
    return FeedConfig::isFeedUrl(m_state.StockURL)
               ? FeedConfig::mediaPageUrl(QStringLiteral("tv"), defaultBTVURL())
               : defaultBTVURL();
}

QString SettingsIO::radioDefault() const
{
    return FeedConfig::isFeedUrl(m_state.StockURL)
               ? FeedConfig::mediaPageUrl(QStringLiteral("radio"), defaultRadioURL())
               : defaultRadioURL();
}

QString SettingsIO::defaultHomePage()
{
    return FeedConfig::startPageUrl();
}

SettingsIO::SettingsIO(MainState &state, frmStockMain &main, frmOptions &options)
    : m_state(state), m_main(main), m_options(options)
{
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
    FlexGrid *grid = m_options.ui->gridSymbols;
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
    FlexGrid *grid = m_options.ui->gridSymbols;
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
    auto *ui = m_options.ui;
    struct ColorKey
    {
        const char *name;
        const char *defaultText;
        qint32 MainState::*variable;
        QAbstractButton *button;
    };
    const ColorKey colors[] = {
        {"EvenRowColor", "&H004000", &MainState::EvenRowColor, ui->cmdEvenRowColor},
        {"OddRowColor", "&H606000", &MainState::OddRowColor, ui->cmdOddRowColor},
        {"TextColor", "&HFFFFFF", &MainState::TextColor, ui->cmdGraphForeColor},
        {"HeaderColor", "&HAAAAAA", &MainState::HeaderColor, ui->cmdHeaderBackColor},
        {"HeaderTextColor", "&H0", &MainState::HeaderTextColor, ui->cmdFixedForeColor},
    };
    for (const ColorKey &c : colors) {
        const QString text = read(QString::fromLatin1(c.name), QString::fromLatin1(c.defaultText));
        if (text.isEmpty())
            continue; // an empty colour keeps its previous value
        auto value = Colors::parse(text);
        if (!value)
            value = Colors::parse(QString::fromLatin1(c.defaultText));
        m_state.*c.variable = *value;
        frmOptions::setButtonBackColor(c.button, Colors::fromBgr(*value));
        if (c.variable == &MainState::TextColor)
            m_state.GridTextColor = *value;
        if (c.variable == &MainState::HeaderTextColor)
            m_main.gridQuotes()->setRow(0);
    }
}

void SettingsIO::GetSettings()
{
    auto *ui = m_options.ui;
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
            grid->setColWidth(i, Twips::toPixels(*width));
        }
    }

    // 4. Variables of the main window's lists.
    auto position = [&](const char *name) {
        const auto value = toInt16(read(QString::fromLatin1(name), QStringLiteral("0")));
        return value ? *value : qint16(0);
    };
    m_state.ChartTime = position("ChartTime");
    m_state.StockNews = position("StockNews");
    m_state.ChartFreq = position("ChartFreq");

    // 5. Positions of the catalogues.
    setPosition(ui->cboHomePage, read(QStringLiteral("HomePageIndex"), QStringLiteral("0")),
                QStringLiteral("0"));
    setPosition(mainForm->cboIPOList(), read(QStringLiteral("IPOIndex"), QStringLiteral("0")),
                QStringLiteral("0"));
    setPosition(mainForm->cboScreener(), read(QStringLiteral("Screener"), QStringLiteral("0")),
                QStringLiteral("0"));

    // 6. The data-source addresses.
    m_state.IndicesURL =
        SettingsStore::read(kProgram, QStringLiteral("IndicesURL"), defaultIndicesURL());
    m_state.StockURL = SettingsStore::read(kProgram, QStringLiteral("StockURL"), defaultStockURL());
    m_state.RadioURL = SettingsStore::read(kProgram, QStringLiteral("RadioURL"), radioDefault());
    m_state.BTVURL = SettingsStore::read(kProgram, QStringLiteral("BTVURL"), btvDefault());
    m_state.MarketURL =
        SettingsStore::read(kProgram, QStringLiteral("MarketURL"), defaultMarketURL());
    m_options.setQuoteSource(SettingsStore::read(kProgram, QStringLiteral("QuoteSource"),
                                                 QLatin1String(FeedSources::kDefault)));

    // 7. The market-index boxes.
    for (int i = 0; i < int(m_options.chkIndex.size()); ++i)
        setCheck(m_options.chkIndex[i], read(key("Index", i), QStringLiteral("0")),
                 QStringLiteral("0"));

    // 8.
    auto check = [&](QCheckBox *box, const char *name, const char *defaultText) {
        const QString d = QString::fromLatin1(defaultText);
        setCheck(box, read(QString::fromLatin1(name), d), d);
    };
    check(ui->chkQuoteUpdate, "AutoUpdate", "0");
    check(ui->chkAutoDial, "EnableAutoDial", "0");
    check(ui->chkUseDialUp, "UseDialUp", "0");
    check(ui->chkStartHomePage, "StartHomePage", "1");
    check(ui->chkHomeSeparateBrowser, "HomeSeparateBrowser", "1");
    check(ui->chkPauseScroll, "ScrollPause", "0");
    check(ui->chkScroll, "EnableScrollIndex", "1");

    // 9. The dial-up entry, only while dial-up is chosen.
    if (ui->chkUseDialUp->isChecked())
        setPosition(ui->cboDialUpList, read(QStringLiteral("DialUpDefault"), QStringLiteral("0")),
                    QStringLiteral("0"));

    // 10.
    auto flag = [&](QAbstractButton *button, const char *name, const char *defaultText) {
        const QString d = QString::fromLatin1(defaultText);
        setFlag(button, read(QString::fromLatin1(name), d), d);
    };
    auto text = [&](QLineEdit *box, const char *name, const char *defaultText) {
        box->setText(read(QString::fromLatin1(name), QString::fromLatin1(defaultText)));
    };
    check(ui->chkEnableAutoSort, "EnableAutoSort", "0");
    flag(m_options.optSortOrder[0], "SortOrder0", "1");
    flag(m_options.optSortOrder[1], "SortOrder1", "0");
    check(ui->chkShowGridLines, "ShowGridLines", "0");
    check(ui->chkEnableLowAlert, "EnableLowAlert", "0");
    check(ui->chkEnableHighAlert, "EnableHighAlert", "0");
    flag(ui->optAlertPopUp, "AlertPopUp", "0");
    flag(ui->optAlertVisual, "AlertVisual", "0");
    flag(ui->optAlertSound, "AlertSound", "0");
    check(ui->chkAlertNotify, "AlertNotify", "0");
    check(ui->chkLogging, "QuoteLogging", "0");
    check(ui->chkSeparateLogFiles, "SeparateLogFiles", "1");
    check(ui->chkKeepOnTop, "KeepOnTop", "0");
    check(ui->chkStopBrowser, "StopBrowser", "0");
    check(ui->chkDisconnectOnExit, "DisconnectOnExit", "0");
    check(ui->chkUseDefaultColors, "UseDefaultColors", "1");
    check(ui->chkUseProxy, "UseProxyServer", "0");
    text(ui->txtProxyServer, "ProxyServer", "Proxy");
    text(ui->txtProxyPort, "ProxyPort", "80");
    check(ui->chkReconnectOnDisconnect, "Reconnect", "0");
    check(ui->chkShow, "ShowStockValue", "0");
    text(ui->txtValue, "PortfolioValue", "0");
    // The portfolio's fee, shown in the fee box while no transaction is being prepared.
    m_options.tradeFee = read(QStringLiteral("TradeFee"), QStringLiteral("0"));
    ui->txtFee->setText(m_options.tradeFee);
    text(ui->txtCash, "Available", "0");
    auto speed = toInt32(read(QStringLiteral("ScrollSpeed"), QStringLiteral("3")));
    ui->ScrollSlider->setValue(speed ? *speed : 3);

    // 11.
    const auto realTime = toFlag(read(QStringLiteral("AutoRemove"), QStringLiteral("False")));
    m_state.RealTimeMode = realTime.value_or(false);

    // 12.
    loadColors();
}

bool SettingsIO::SaveSettings()
{
    auto *ui = m_options.ui;
    frmStockMain *mainForm = &m_main;

    // 1.
    SettingsStore::write(QStringLiteral("Settings\\"), QStringLiteral("Path"),
                         ProgramFolder::path());

    // 2. The settings in memory belong to the loaded portfolio, CurrentPortfolio. An entry
    // picked in the list but not loaded (Cancel after a pick, or Exit with the window open)
    // must not receive them, so the loaded portfolio's name and its own list position are
    // written.
    const int startIndex = ui->cboPortfolio->findText(m_state.CurrentPortfolio,
                                                      Qt::MatchExactly | Qt::MatchCaseSensitive);
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

    // 4.
    auto programKey = [&](QString &variable, const char *name, const QString &defaultValue) {
        if (variable.isEmpty())
            variable = defaultValue;
        SettingsStore::write(kProgram, QString::fromLatin1(name), variable);
    };
    programKey(m_state.IndicesURL, "IndicesURL", defaultIndicesURL());
    programKey(m_state.RadioURL, "RadioURL", radioDefault());
    programKey(m_state.BTVURL, "BTVURL", btvDefault());
    programKey(m_state.HomePage, "HomePage", defaultHomePage());

    // 5.
    write(QStringLiteral("HomePageIndex"), positionText(ui->cboHomePage));
    write(QStringLiteral("IPOIndex"), positionText(mainForm->cboIPOList()));
    write(QStringLiteral("Screener"), positionText(mainForm->cboScreener()));

    // 6.
    programKey(m_state.StockURL, "StockURL", defaultStockURL());
    programKey(m_state.MarketURL, "MarketURL", defaultMarketURL());
    SettingsStore::write(kProgram, QStringLiteral("QuoteSource"), m_options.quoteSource());

    // 7.
    auto check = [&](const char *name, const QCheckBox *box) {
        write(QString::fromLatin1(name), checkText(box));
    };
    auto position = [&](const char *name, const QComboBox *list) {
        write(QString::fromLatin1(name), positionText(list));
    };
    auto flag = [&](const char *name, const QAbstractButton *button) {
        write(QString::fromLatin1(name), flagText(button->isChecked()));
    };
    write(QStringLiteral("ProxyPort"), ui->txtProxyPort->text());
    write(QStringLiteral("ProxyServer"), ui->txtProxyServer->text());
    check("UseProxyServer", ui->chkUseProxy);
    check("AutoUpdate", ui->chkQuoteUpdate);
    check("UseDialUp", ui->chkUseDialUp);
    check("ShowGridLines", ui->chkShowGridLines);
    check("KeepOnTop", ui->chkKeepOnTop);
    check("StopBrowser", ui->chkStopBrowser);
    check("Reconnect", ui->chkReconnectOnDisconnect);
    check("QuoteLogging", ui->chkLogging);
    check("SeparateLogFiles", ui->chkSeparateLogFiles);
    check("EnableAutoDial", ui->chkAutoDial);
    check("StartHomePage", ui->chkStartHomePage);
    check("HomeSeparateBrowser", ui->chkHomeSeparateBrowser);
    check("ScrollPause", ui->chkPauseScroll);
    position("ScrollPauseTime", ui->cboPauseScroll);
    check("EnableScrollIndex", ui->chkScroll);
    position("UpdateSeconds", ui->cboSeconds);
    position("DialUpDefault", ui->cboDialUpList);
    check("EnableLowAlert", ui->chkEnableLowAlert);
    check("EnableHighAlert", ui->chkEnableHighAlert);
    flag("AlertPopUp", ui->optAlertPopUp);
    flag("AlertVisual", ui->optAlertVisual);
    flag("AlertSound", ui->optAlertSound);
    check("AlertNotify", ui->chkAlertNotify);
    write(QStringLiteral("PortfolioValue"), ui->txtValue->text());
    // The portfolio's fee, not the fee of a transaction being prepared.
    write(QStringLiteral("TradeFee"), m_options.tradeFee);
    write(QStringLiteral("Available"), ui->txtCash->text());
    check("ShowStockValue", ui->chkShow);
    write(QStringLiteral("ScrollSpeed"), QString::number(ui->ScrollSlider->value()));
    check("EnableAutoSort", ui->chkEnableAutoSort);
    flag("SortOrder0", m_options.optSortOrder[0]);
    flag("SortOrder1", m_options.optSortOrder[1]);
    position("SortColumn", ui->cboSort);
    position("StockNews", mainForm->cboStockNews());
    position("ChartFreq", mainForm->cboChartFreq());
    position("ChartTime", mainForm->cboChartTime());
    check("DisconnectOnExit", ui->chkDisconnectOnExit);
    check("UseDefaultColors", ui->chkUseDefaultColors);

    // 8.
    write(QStringLiteral("EvenRowColor"), Colors::toText(m_state.EvenRowColor));
    write(QStringLiteral("OddRowColor"), Colors::toText(m_state.OddRowColor));
    write(QStringLiteral("TextColor"), Colors::toText(m_state.TextColor));
    write(QStringLiteral("HeaderColor"), Colors::toText(m_state.HeaderColor));
    write(QStringLiteral("HeaderTextColor"), Colors::toText(m_state.HeaderTextColor));

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
        int twips = qRound(Twips::toTwips(pixels));
        if (slot < m_colWidthTwips.size() && m_colWidthTwips[slot] >= 0 &&
            Twips::toPixels(m_colWidthTwips[slot]) == pixels)
            twips = m_colWidthTwips[slot];
        else if (const int standard = QuoteGrid::columnWidthTwips(i, m_state.RealTimeMode);
                 Twips::toPixels(standard) == pixels)
            twips = standard;
        write(key("ColWidth", i), QString::number(twips));
    }

    // 11.
    for (int i = 0; i < int(m_options.chkIndex.size()); ++i)
        write(key("Index", i), checkText(m_options.chkIndex[i]));

    if (SettingsStore::sync()) {
        m_saveFailure.succeeded();
        return true;
    }
    m_saveFailure.failed(&m_main, QStringLiteral("settings"), SettingsStore::fileName(),
                         WriteFailureNotice::unwritableReason(),
                         WriteFailureNotice::settingsConsequence());
    return false;
}
