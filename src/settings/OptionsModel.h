#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

// One setting of the Options window: its key, the section it is kept in, its default and the
// text form it is stored in. A value announces every real change with changed(); setting the
// value it already has announces nothing.
class OptionValue : public QObject
{
    Q_OBJECT

public:
    enum class Scope
    {
        Portfolio, // kept in the loaded portfolio's section
        Program,   // kept in the program-wide "Settings" section
        Run,       // not stored: kept for the run only
    };

    OptionValue(QString key, Scope scope, std::function<QString()> defaultText);

    const QString &key() const { return m_key; }
    Scope scope() const { return m_scope; }
    // The section that holds the value for the given loaded portfolio.
    QString section(const QString &portfolio) const;
    QString defaultText() const { return m_defaultText(); }

    // The value in its stored form.
    virtual QString storedText() const = 0;
    // Takes a stored text; text that is not a value of the setting's form takes the default
    // (a colour's empty text keeps the value it had).
    virtual void load(const QString &text) = 0;

Q_SIGNALS:
    void changed();

private:
    QString m_key;
    Scope m_scope;
    std::function<QString()> m_defaultText;
};

// The stored forms. Each reads a stored text (nothing when it is not a value of the form) and
// writes a value back.
namespace OptionForms {

// A tick box: "0" clear, "1" ticked; any other text is not a value.
struct Check
{
    using Type = bool;
    static std::optional<bool> read(const QString &text);
    static QString write(bool value);
};

// An option button: "True"/"False" (any letter case) or a number; written "True"/"False".
struct Flag
{
    using Type = bool;
    static std::optional<bool> read(const QString &text);
    static QString write(bool value);
};

// Text as it stands; every text is a value.
struct Text
{
    using Type = QString;
    static std::optional<QString> read(const QString &text) { return text; }
    static QString write(const QString &value) { return value; }
};

// A 32-bit whole number in decimal.
struct Number
{
    using Type = qint32;
    static std::optional<qint32> read(const QString &text);
    static QString write(qint32 value) { return QString::number(value); }
};

// A list position ("-1" for nothing selected). Whether the list has that many entries is
// decided where the list is.
struct Position
{
    using Type = qint16;
    static std::optional<qint16> read(const QString &text);
    static QString write(qint16 value) { return QString::number(value); }
};

// A colour in blue-green-red order: read from "&H…" or decimal text, written in decimal. An
// empty stored text keeps the colour in force.
struct Color
{
    using Type = qint32;
    static std::optional<qint32> read(const QString &text);
    static QString write(qint32 value);
    static constexpr bool emptyKeeps = true;
};

// A zoom in percent: a whole number gives the nearest of Zoom::Steps (so one beyond them
// gives the end step); any other text is not a value.
struct ZoomPercent
{
    using Type = int;
    static std::optional<int> read(const QString &text);
    static QString write(int value) { return QString::number(value); }
};

template <typename Form>
concept KeepsOnEmpty = requires
{
    Form::emptyKeeps;
};

} // namespace OptionForms

template <typename Form> class Option : public OptionValue
{
public:
    using Type = typename Form::Type;

    Option(const char *key, Scope scope, const char *defaultText)
        : Option(QString::fromLatin1(key), scope, defaultText)
    {
    }
    Option(QString key, Scope scope, const char *defaultText)
        : Option(std::move(key), scope, [text = QString::fromLatin1(defaultText)] { return text; })
    {
    }
    Option(QString key, Scope scope, std::function<QString()> defaultText)
        : OptionValue(std::move(key), scope, std::move(defaultText)), m_value(defaultValue())
    {
    }
    Option(const char *key, Scope scope, std::function<QString()> defaultText)
        : Option(QString::fromLatin1(key), scope, std::move(defaultText))
    {
    }

    const Type &value() const { return m_value; }
    Type defaultValue() const { return Form::read(defaultText()).value_or(Type{}); }

    void set(const Type &value)
    {
        if (value == m_value)
            return;
        m_value = value;
        Q_EMIT changed();
    }

    QString storedText() const override { return Form::write(m_value); }
    void load(const QString &text) override
    {
        if constexpr (OptionForms::KeepsOnEmpty<Form>) {
            if (text.isEmpty())
                return;
        }
        std::optional<Type> value = Form::read(text);
        if (!value)
            value = Form::read(defaultText());
        if (value)
            set(*value);
    }

private:
    Type m_value;
};

using CheckOption = Option<OptionForms::Check>;
using FlagOption = Option<OptionForms::Flag>;
using TextOption = Option<OptionForms::Text>;
using NumberOption = Option<OptionForms::Number>;
using PositionOption = Option<OptionForms::Position>;
using ColorOption = Option<OptionForms::Color>;
using ZoomOption = Option<OptionForms::ZoomPercent>;

// The settings of the Options window and the main window's source lists, typed, for the
// whole run. Each member is named after its key; its declaration is the one place of its key,
// section, default and stored form. The windows' controls are bound to these values both
// ways, the settings loader and saver move them to and from the store, and the downloads,
// alerts, valuation, ticker, browser panel and connection read them here.
class OptionsModel : public QObject
{
    Q_OBJECT

public:
    using Scope = OptionValue::Scope;
    static constexpr Scope P = Scope::Portfolio;
    static constexpr Scope G = Scope::Program;
    static constexpr Scope R = Scope::Run;

    OptionsModel();
    ~OptionsModel() override;

    // Every value, in declaration order.
    const QList<OptionValue *> &values() const { return m_values; }

    // Reads one value from the store (its default when the key is missing) or writes it,
    // in the sections of the given loaded portfolio. Values kept for the run only are
    // neither read nor written.
    static void load(OptionValue &value, const QString &portfolio);
    static void store(const OptionValue &value, const QString &portfolio);
    // Every stored value, in declaration order.
    void loadAll(const QString &portfolio);
    void storeAll(const QString &portfolio) const;

    // The data-source addresses and the home page (program-wide). An empty address stays
    // empty until it is saved, when it takes its default. The media pages lead to the
    // built-in feed's pages while the quotes come from the feed.
    TextOption IndicesURL{"IndicesURL", G, defaultIndicesURL};
    TextOption StockURL{"StockURL", G, defaultStockURL};
    TextOption RadioURL{"RadioURL", G, [this] { return radioDefault(); }};
    TextOption BTVURL{"BTVURL", G, [this] { return btvDefault(); }};
    TextOption MarketURL{"MarketURL", G, defaultMarketURL};
    TextOption HomePage{"HomePage", G, defaultHomePage};
    TextOption QuoteSource{"QuoteSource", G, defaultQuoteSource};

    // Connection.
    CheckOption UseDialUp{"UseDialUp", P, "0"};
    PositionOption DialUpDefault{"DialUpDefault", P, "0"};
    CheckOption EnableAutoDial{"EnableAutoDial", P, "0"};
    CheckOption DisconnectOnExit{"DisconnectOnExit", P, "0"};
    CheckOption Reconnect{"Reconnect", P, "0"};
    CheckOption UseProxyServer{"UseProxyServer", P, "0"};
    TextOption ProxyServer{"ProxyServer", P, "Proxy"};
    TextOption ProxyPort{"ProxyPort", P, "80"};

    // Updates and the browser.
    CheckOption AutoUpdate{"AutoUpdate", P, "0"};
    PositionOption UpdateSeconds{"UpdateSeconds", P, "9"};
    CheckOption StartHomePage{"StartHomePage", P, "1"};
    CheckOption HomeSeparateBrowser{"HomeSeparateBrowser", P, "1"};
    PositionOption HomePageIndex{"HomePageIndex", P, "0"};
    CheckOption KeepOnTop{"KeepOnTop", P, "0"};
    CheckOption StopBrowser{"StopBrowser", P, "0"};
    // The main window's zoom in percent, for every portfolio.
    ZoomOption Zoom{"Zoom", G, "100"};

    // The main window's source lists: the chart range and frequency, the news source, the
    // IPO and screener catalogues. The browser panel binds them to its lists.
    PositionOption ChartTime{"ChartTime", P, "0"};
    PositionOption ChartFreq{"ChartFreq", P, "0"};
    PositionOption StockNews{"StockNews", P, "0"};
    PositionOption IPOIndex{"IPOIndex", P, "0"};
    PositionOption Screener{"Screener", P, "0"};

    // The ticker.
    CheckOption EnableScrollIndex{"EnableScrollIndex", P, "1"};
    NumberOption ScrollSpeed{"ScrollSpeed", P, "3"};
    CheckOption ScrollPause{"ScrollPause", P, "0"};
    PositionOption ScrollPauseTime{"ScrollPauseTime", P, "0"};

    // The quote grid: sorting, lines and colours.
    CheckOption EnableAutoSort{"EnableAutoSort", P, "0"};
    PositionOption SortColumn{"SortColumn", P, "0"};
    FlagOption SortOrder0{"SortOrder0", P, "1"}; // ascending
    FlagOption SortOrder1{"SortOrder1", P, "0"}; // descending
    CheckOption EnableClickSort{"EnableClickSort", R, "0"};
    CheckOption ShowGridLines{"ShowGridLines", P, "0"};
    CheckOption UseDefaultColors{"UseDefaultColors", P, "1"};
    ColorOption EvenRowColor{"EvenRowColor", P, "&H004000"};
    ColorOption OddRowColor{"OddRowColor", P, "&H606000"};
    ColorOption TextColor{"TextColor", P, "&HFFFFFF"};
    ColorOption HeaderColor{"HeaderColor", P, "&HAAAAAA"};
    ColorOption HeaderTextColor{"HeaderTextColor", P, "&H0"};

    // Alerts and the quote log.
    CheckOption EnableLowAlert{"EnableLowAlert", P, "0"};
    CheckOption EnableHighAlert{"EnableHighAlert", P, "0"};
    FlagOption AlertPopUp{"AlertPopUp", P, "0"};
    FlagOption AlertVisual{"AlertVisual", P, "0"};
    FlagOption AlertSound{"AlertSound", P, "0"};
    CheckOption AlertNotify{"AlertNotify", P, "0"};
    CheckOption QuoteLogging{"QuoteLogging", P, "0"};
    CheckOption SeparateLogFiles{"SeparateLogFiles", P, "1"};

    // The account summary. PortfolioValue is the valuation's result; TradeFee is the
    // broker's fee the portfolio keeps (the fee of the last purchase or sale).
    CheckOption ShowStockValue{"ShowStockValue", P, "0"};
    TextOption PortfolioValue{"PortfolioValue", P, "0"};
    TextOption GainLoss{"GainLoss", R, ""};
    TextOption TradeFee{"TradeFee", P, "0"};
    TextOption Available{"Available", P, "0"};

    // The market indices requested, by IndexTable entry ("Index0" … "Index41").
    static constexpr int IndexCount = 42;
    std::array<CheckOption, IndexCount> Index =
        indexOptions(std::make_index_sequence<IndexCount>());

    // The default addresses of the data sources and the home page.
    static QString defaultIndicesURL();
    static QString defaultStockURL();
    static QString defaultMarketURL();
    static QString defaultRadioURL();
    static QString defaultBTVURL();
    static QString defaultHomePage();
    static QString defaultQuoteSource();
    // The media defaults in force: the feed's pages while StockURL is the feed's.
    QString radioDefault() const;
    QString btvDefault() const;

private:
    template <std::size_t... I>
    static std::array<CheckOption, IndexCount> indexOptions(std::index_sequence<I...>)
    {
        return {CheckOption(QStringLiteral("Index") + QString::number(I), P, "0")...};
    }

    QList<OptionValue *> m_values;
};
