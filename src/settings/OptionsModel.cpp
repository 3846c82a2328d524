#include "OptionsModel.h"

#include "feed/FeedConfig.h"
#include "screen/Colors.h"
#include "screen/Zoom.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"

OptionValue::OptionValue(QString key, Scope scope, std::function<QString()> defaultText)
    : m_key(std::move(key)), m_scope(scope), m_defaultText(std::move(defaultText))
{
}

QString OptionValue::section(const QString &portfolio) const
{
    return m_scope == Scope::Portfolio ? SettingsStore::portfolioSection(portfolio)
                                       : SettingsStore::programSection();
}

namespace OptionForms {

std::optional<bool> Check::read(const QString &text)
{
    const auto value = ValueForms::toInt16(text);
    if (!value || (*value != 0 && *value != 1))
        return std::nullopt;
    return *value == 1;
}

QString Check::write(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<bool> Flag::read(const QString &text)
{
    return ValueForms::toFlag(text);
}

QString Flag::write(bool value)
{
    return ValueForms::flagText(value);
}

std::optional<qint32> Number::read(const QString &text)
{
    return ValueForms::toInt32(text);
}

std::optional<qint16> Position::read(const QString &text)
{
    const auto value = ValueForms::toInt16(text);
    if (!value || *value < -1)
        return std::nullopt;
    return value;
}

std::optional<qint32> Color::read(const QString &text)
{
    return Colors::parse(text);
}

QString Color::write(qint32 value)
{
    return Colors::toText(value);
}

std::optional<int> ZoomPercent::read(const QString &text)
{
    bool ok = false;
    const int percent = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return ::Zoom::snap(percent);
}

} // namespace OptionForms

OptionsModel::OptionsModel()
{
    m_values = {&IndicesURL,
                &StockURL,
                &RadioURL,
                &BTVURL,
                &MarketURL,
                &HomePage,
                &QuoteSource,
                &UseDialUp,
                &DialUpDefault,
                &EnableAutoDial,
                &DisconnectOnExit,
                &Reconnect,
                &UseProxyServer,
                &ProxyServer,
                &ProxyPort,
                &AutoUpdate,
                &UpdateSeconds,
                &StartHomePage,
                &HomeSeparateBrowser,
                &HomePageIndex,
                &KeepOnTop,
                &StopBrowser,
                &Zoom,
                &ChartTime,
                &ChartFreq,
                &StockNews,
                &IPOIndex,
                &Screener,
                &EnableScrollIndex,
                &ScrollSpeed,
                &ScrollPause,
                &ScrollPauseTime,
                &EnableAutoSort,
                &SortColumn,
                &SortOrder0,
                &SortOrder1,
                &EnableClickSort,
                &ShowGridLines,
                &UseDefaultColors,
                &EvenRowColor,
                &OddRowColor,
                &TextColor,
                &HeaderColor,
                &HeaderTextColor,
                &EnableLowAlert,
                &EnableHighAlert,
                &AlertPopUp,
                &AlertVisual,
                &AlertSound,
                &AlertNotify,
                &QuoteLogging,
                &SeparateLogFiles,
                &ShowStockValue,
                &PortfolioValue,
                &GainLoss,
                &TradeFee,
                &Available};
    for (CheckOption &index : Index)
        m_values.append(&index);
    // The addresses and the home page are empty until the settings are read: nothing is
    // asked for before then.
    for (TextOption *address : {&IndicesURL, &StockURL, &RadioURL, &BTVURL, &MarketURL, &HomePage})
        address->set(QString());
}

OptionsModel::~OptionsModel() = default;

void OptionsModel::load(OptionValue &value, const QString &portfolio)
{
    if (value.scope() == Scope::Run)
        return;
    value.load(SettingsStore::read(value.section(portfolio), value.key(), value.defaultText()));
}

void OptionsModel::store(const OptionValue &value, const QString &portfolio)
{
    if (value.scope() == Scope::Run)
        return;
    SettingsStore::write(value.section(portfolio), value.key(), value.storedText());
}

void OptionsModel::loadAll(const QString &portfolio)
{
    for (OptionValue *value : std::as_const(m_values))
        load(*value, portfolio);
}

void OptionsModel::storeAll(const QString &portfolio) const
{
    for (const OptionValue *value : m_values)
        store(*value, portfolio);
}

QString OptionsModel::defaultIndicesURL()
{
    return FeedConfig::defaultIndicesUrl();
}

QString OptionsModel::defaultStockURL()
{
    return FeedConfig::defaultStockUrl();
}

QString OptionsModel::defaultMarketURL()
{
    return FeedConfig::defaultMarketUrl();
}

QString OptionsModel::defaultRadioURL()
{
    return QStringLiteral("http://radio.vantora-media.test/cgi-bin/MediaPref.cgi?page=radio1");
}

QString OptionsModel::defaultBTVURL()
{
    const QString stream =
        QStringLiteral("http://live.vantora-media.test/streams/video/LiveBTV56.asxx");
    return QStringLiteral("http://video.vantora-media.test/vss-bin/vss_SR/smedia_prod/search?") +
           QStringLiteral("clipSource=") + stream +
           QStringLiteral(";template=viewer_frameset.tmpl") + QStringLiteral(";wm56File=") +
           stream + QStringLiteral(";autostart=true;clipTitle=LiveBTV;snapshot=true");
}

QString OptionsModel::defaultHomePage()
{
    return FeedConfig::startPageUrl();
}

QString OptionsModel::defaultQuoteSource()
{
    return QString::fromLatin1(FeedConfig::kDefaultSource);
}

// With the built-in feed's quote address (the program's demo, which runs offline), the
// media buttons lead to the feed's pages, which name the live sources; otherwise to them.
QString OptionsModel::radioDefault() const
{
    return FeedConfig::isFeedUrl(StockURL.value())
               ? FeedConfig::mediaPageUrl(QStringLiteral("radio"), defaultRadioURL())
               : defaultRadioURL();
}

QString OptionsModel::btvDefault() const
{
    return FeedConfig::isFeedUrl(StockURL.value())
               ? FeedConfig::mediaPageUrl(QStringLiteral("tv"), defaultBTVURL())
               : defaultBTVURL();
}
