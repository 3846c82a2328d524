#include "Catalogues.h"

#include "feed/FeedConfig.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QUrl>

#include <algorithm>

namespace Catalogues {

namespace {

using P = SymbolPlacement;

Entry appended(const char *label, const char *before, const char *after = "")
{
    return {QString::fromUtf8(label), QString::fromUtf8(before), QString::fromUtf8(after),
            P::Appended};
}

Entry fixed(const char *label, const char *address)
{
    return {QString::fromUtf8(label), QString::fromUtf8(address), QString(), P::Fixed};
}

QStringList labelsOf(const QList<Entry> &catalogue)
{
    QStringList labels;
    labels.reserve(catalogue.size());
    for (const Entry &entry : catalogue)
        labels.append(entry.label);
    return labels;
}

// Empties the list and adds the items with the list's signals held back, then sets the
// position, so the list reports one change with its final position.
void fill(QComboBox *list, const QStringList &items, int position)
{
    if (!list)
        return;
    {
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(items);
        list->setCurrentIndex(-1);
    }
    list->setCurrentIndex(position);
}

void fillFromSetting(QComboBox *list, const QStringList &items, const QString &portfolio,
                     const QString &key, int defaultPosition)
{
    const QString stored = SettingsStore::read(SettingsStore::portfolioSection(portfolio), key,
                                               QString::number(defaultPosition));
    fill(list, items, listPosition(stored, int(items.size()), defaultPosition));
}

} // namespace

// ---- addresses -----------------------------------------------------------------------------

QString queryValue(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString entryAddress(const Entry &entry, const QString &symbol)
{
    switch (entry.placement) {
    case P::Fixed:
        return entry.before + entry.after;
    case P::InitialFolder:
        return entry.before + queryValue(symbol.left(1)) + QLatin1Char('/') + queryValue(symbol) +
               entry.after;
    case P::Appended:
        break;
    }
    return entry.before + queryValue(symbol) + entry.after;
}

QString entryAddress(const QList<Entry> &catalogue, int index, const QString &symbol)
{
    if (index < 0 || index >= catalogue.size())
        return {};
    return entryAddress(catalogue.at(index), symbol);
}

const QList<Entry> &newsSources()
{
    static const QList<Entry> sources = {
        appended("Bloomberg",
                 "http://quote.bloomberg.com/fgcgi.cgi?T=quote/marketsquote99_news_list.ht"
                 "&ptitle=A&wires=PRN,BUS,CRL,INW,PZM,CNS&template=marketsquote99_news.ht"
                 "&GNOSUBST=1&ticker="),
        appended("CBS Marketwatch",
                 "http://cbs.marketwatch.com/tools/quotes/news.asp?symb=", "&siteid=mktw"),
        appended("Lycos", "http://finance.lycos.com/home/stocks/quotes.asp?symbols="),
        appended("Morningstar.com",
                 "http://quicktake.morningstar.com/Quote.html?hsection=Quicktakes&ticker="),
        appended("MSN Moneycentral",
                 "http://moneycentral.msn.com/scripts/webquote.dll?iPage=news&Symbol="),
        appended("pcQuote", "http://www.pcquote.com/stocks/news/getnews.php?ticker="),
        appended("Reuters", "http://www.investor.reuters.com/quote.jhtml?ticker=",
                 "&qtype=sym&dd=cs&qcat=sbox&btn=sbl"),
        appended("SiliconInvestor", "http://www.siliconinvestor.com/research/news.gsp?s=",
                 "&navSites=%2Fresearch%2Fnews.gsp&general=&format=si"),
        {QStringLiteral("Yahoo!"), QStringLiteral("http://biz.yahoo.com/n/"),
         QStringLiteral(".html"), P::InitialFolder},
    };
    return sources;
}

const QList<Entry> &researchSources()
{
    static const QList<Entry> sources = {
        appended("FreeEDGAR", "http://www.freeedgar.com/search/CompanyList.asp?Ticker="),
        appended("Lycos", "http://finance.lycos.com/lycos/business/search/"
                          "default.asp?date=1994&qt=1&query="),
        fixed("Motley Fool Resources",
              "http://www.fool.com/community/resource/company_research.htm"),
        appended("multex investor",
                 "http://www.multexinvestor.com/af00946/TickerSearch.asp?Ticker="),
        appended("Quicken.com", "http://www.quicken.com/investments/snapshot/?symbol="),
        fixed("U.S. SEC Search", "http://www.sec.gov/edgar/searchedgar/webusers.htm"),
        fixed("ValueLine (Login)", "http://www.valueline.com/secure/vlrc/research.html"),
        appended("Yahoo!", "http://finance.yahoo.com/q?s=", "&d=t"),
        appended("Zack's", "http://my.zacks.com/cgi-bin/JMFR/FreeReport?ref=COINFO%26ticker="),
    };
    return sources;
}

const QList<Entry> &ipoSources()
{
    // Entries 11, 15 and 16 are the pricing and information pages of one party, told apart
    // by the "p" value of the query.
    static const QList<Entry> sources = {
        fixed("123 Jump", "http://www.123jump.com/ipomaven.htm"),
        fixed("AIRS", "http://www.airs.com/newscenter/mergeripo.html"),
        fixed("Bloomberg", "http://www.bloomberg.com/markets/ipocenter.html?sidenav=front"),
        fixed("CBS Marketwatch", "http://cbs.marketwatch.com/news/ipo/default.asp?siteid=mktw"),
        fixed("CNET", "http://investor.cnet.com/investor/ipocenter/ipocenter/0-9920-1090-0.html"),
        fixed("CNNMoney", "http://money.cnn.com/markets/IRC/ipos.html"),
        fixed("Financial Review", "http://www.afr.com/marketwrap/ipos/"),
        fixed("Financials.com", "http://www.financials.com/c/info/ipo.cfm"),
        fixed("Gaskin's IPO Desktop", "http://www.ipodesktop.com/"),
        fixed("Hoovers", "http://www.hoovers.com/ipo/0,1334,23,00.html"),
        fixed("Investorville", "http://www.investorville.com/ipos.htm"),
        fixed("IPO.com", "http://www.ipoinfo.com/ipoinfo/pricings.asp?p=INVG"),
        fixed("IPO express", "http://www.ostman.com/ipoexpress/"),
        fixed("Lycos", "http://finance.lycos.com/home/ipo/"),
        fixed("Nasdaq", "http://www.nasdaq.com/reference/IPOs.stm"),
        fixed("PCQuote", "http://www.ipoinfo.com/ipoinfo/ipoinfo.asp?p=PCQ3"),
        fixed("SmartMoney.com", "http://www.ipoinfo.com/ipoinfo/ipoinfo.asp?p=SMON"),
        fixed("stockpoint", "http://www.stockpoint.com/ipo/ipohome.asp?"),
        fixed("StockSelector.com", "http://www.stockselector.com/ipos.asp"),
        fixed("Streetforce.com", "http://www.streetforce.com/ipos.htm"),
        fixed("TradingDay.com", "http://www.tradingday.com/c/ipos/"),
        fixed("Yahoo!", "http://biz.yahoo.com/ipo/"),
    };
    return sources;
}

const QList<Entry> &screenerSources()
{
    static const QList<Entry> sources = {
        fixed("Yahoo!", "http://screen.yahoo.com/stocks.html"),
        fixed("Hoovers", "http://www.hoovers.com/search/forms/stockscreener/0,2221,71,00.html"),
        fixed("USATODAY", "http://screen.usatoday.com/custom/usatoday-com/screener/screener.asp"),
        fixed("Quicken", "http://www.quicken.com/investments/stocks/search/full/"),
        fixed("WSRN", "http://www.wsrn.com/apps/companysearch/"),
        fixed("CBS MarketWatch",
              "http://cbs.marketwatch.com/tools/stockresearch/screener/default.asp?siteid=mktw"),
        fixed("Bigcharts.com", "http://www.bigcharts.com/markets/screener.asp"),
        fixed("BusinessWeek Online",
              "http://www.businessweek.com/businessweek/general_free_search.html"),
        fixed("StockAlpha", "http://www.stockalpha.com/StockScreener.asp"),
        fixed("Highmark Funds", "http://www.highmarkfunds.com/highmarkfunds/stockscreener.asp"),
    };
    return sources;
}

QString defaultStartPage()
{
    // The built-in feed's page: it works without the Internet, and it is the home page the
    // settings store when none was chosen.
    return FeedConfig::startPageUrl();
}

const QList<Entry> &homePages()
{
    // Brokers' log-in or start pages. One white-label trading host serves entries 7 and 47,
    // another entries 31, 43 and 64.
    static const QList<Entry> pages = {
        {QStringLiteral("Vantora"), defaultStartPage(), QString(), P::Fixed},
        fixed("1st Discount", "https://www.1stdiscount.com/cgi-bin/login?Action=Login"),
        fixed("ABWatley", "https://www.abwatley.com"),
        fixed("Accutrade", "https://www.accutrade.com/login/"),
        fixed("AFTrader", "https://www.aftrader.com/cgi-bin/login?Action=Login"),
        fixed("Ameritrade", "https://wwws.ameritrade.com/cgi-bin/apps/LogIn"),
        fixed("Amerivest", "https://www.amerivest.com/login.asp"),
        fixed("Atlantic Financial", "https://secure.brokerdesk.net/cantella/"),
        fixed("Bidwell & Company", "https://www.bidwell.com/login.html"),
        fixed("BrokerageAmerica",
              "http://www.brokerageamerica.com/index.php?section=tradenow&subsection=login"),
        fixed("Brown & Company", "https://www.brownco.com/login.html"),
        fixed("Bush Burns", "http://www.bushburns.com/login.html"),
        fixed("Charles Schwab", "https://investing.schwab.com/trading/signon"),
        fixed("CompuTEL", "https://www.computel.com/cgi-bin/login?"),
        fixed("Cybertrader", "http://www.cybertrader.com/login.asp"),
        fixed("Datek", "https://www.datek.com/login.html"),
        fixed("Delta Equity", "https://www.deltaequity.com/login.asp"),
        fixed("E*Trade", "https://us.etrade.com/e/t/user/login"),
        fixed("empirenow", "http://www.empirenow.com/login.asp"),
        fixed("EquityStation", "http://www.equitystation.com/login.html"),
        fixed("Fidelity", "https://scs.fidelity.com/webxpress/login.shtml"),
        fixed("Firstrade", "http://www.firstrade.com/login.html"),
        fixed("Freedom investments", "https://www.freedominvestments.com/login.asp"),
        fixed("Freetrade", "https://www.freetrade.com/login.html"),
        fixed("GE Brokerage", "https://www.gebrokerage.com/cgi-bin/login?"),
        fixed("Great Eastern", "https://www.greateasternsecurities.com/login.asp"),
        fixed("Harrisdirect", "https://www.harrisdirect.com/login.html"),
        fixed("Interactive Brokers", "https://www.interactivebrokers.com/cgi-bin/login"),
        fixed("Invest EXpress", "https://www.investexpress.com/login.asp"),
        fixed("InvestIN", "http://www.investin.com/login.asp"),
        fixed("InvestorLine", "https://www.investorline.com/login.html"),
        fixed("Investrade", "https://www.tradingdesk-secure.com/rg2/"),
        fixed("JB Oxford",
              "https://www.jboxford.com/index.html?sectionName=myAccount&subSectionName=balances"),
        fixed("Lowtrades", "http://www.lowtrades.com/login.asp"),
        fixed("Market Touch Web", "https://www.markettouch.com/cgi-bin/login?Action=Login"),
        fixed("MB Trading", "https://www.mbtrading.com/login.aspx"),
        fixed("Morgan Stanley", "https://www.morganstanley.com/login.html"),
        fixed("Mr.Stock", "http://www.mrstock.com/login.asp"),
        fixed("Mydiscountbroker.com", "https://www.mydiscountbroker.com/login.asp"),
        fixed("Net Investor", "https://www.netinvestor.com/login.html"),
        fixed("Noble Trading", "http://www.nobletrading.com/login.asp"),
        fixed("Quick & Reilly", "https://www.quickandreilly.com/cgi-bin/login?Action=Login"),
        fixed("Rapidtrade.com", "https://www.rapidtrade.com/login.asp"),
        fixed("Regal", "https://www.tradingdesk-secure.com/rgl/"),
        fixed("RushTrade.com", "https://www.rushtrade.com/login.asp"),
        fixed("Scottrade", "https://trading.scottrade.com/default.aspx"),
        fixed("ShareBuilder", "https://www.sharebuilder.com/sharebuilder/Account/Login.asp"
                              "?State=0&RefUrl=%2Fsharebuilder%2Findex%2Easp"),
        fixed("Siebert", "https://secure.brokerdesk.net/msiebert/"),
        fixed("Sloan Securities", "https://www.sloansecurities.com/cgi-bin/login?Action=Login"),
        fixed("Speedtrader.com", "http://www.speedtrader.com/login.asp"),
        fixed("Trade4Less", "https://www.trade4less.com/cgi-bin/login?Action=Login"),
        fixed("Trade-Well", "https://www.trade-well.com/login.asp"),
        fixed("Trading Direct", "https://www.tradingdirect.com/login.asp"),
        fixed("Trend Trader", "https://www.trendtrader.com/login.asp"),
        fixed("T.Rowe Price", "https://www.troweprice.com/login.html"),
        fixed("Tru Trade", "https://www.trutrade.com/cgi-bin/login?Action=Login"),
        fixed("USRICA", "https://www.usrica.com/login.asp"),
        fixed("Vision Trade", "https://www.visiontrade.com/cgi-bin/login?Action=Login"),
        fixed("Wachovia", "https://www.wachovia.com/login.html"),
        fixed("Wall St Access", "https://www.wsaccess.com/login.asp"),
        fixed("Wall Street Discount", "https://www.wsdc.com/login.asp"),
        fixed("Wang investments", "https://www.wang-investments.com/login.asp"),
        fixed("Waterhouse", "https://www.waterhouse.com/login.html"),
        fixed("Wells Trade", "https://www.wellstrade.com/login.html"),
        fixed("WRHambrecht", "https://www.tradingdesk-secure.com/wrh/"),
        fixed("Wyse Securities", "https://www.wyse-sec.com/login.asp"),
        fixed("Yahoo", "https://login.yahoo.com/config/login?.src=quote&.intl=us"
                       "&.done=http%3A%2F%2Ffinance.yahoo.com%2F"),
        fixed("Your Discount Broker", "https://www.ydb.com/login.asp"),
    };
    return pages;
}

// ---- chart codes ---------------------------------------------------------------------------

const QStringList &chartTimeLabels()
{
    static const QStringList labels = {
        QStringLiteral("One Day"),    QStringLiteral("Two Days"),   QStringLiteral("One Week"),
        QStringLiteral("One Month"),  QStringLiteral("Two Months"), QStringLiteral("Three Months"),
        QStringLiteral("Six Months"), QStringLiteral("One Year"),   QStringLiteral("Two Years"),
    };
    return labels;
}

const QStringList &chartFreqLabels()
{
    static const QStringList labels = {
        QStringLiteral("Minute"),  QStringLiteral("5 Minutes"), QStringLiteral("15 Minutes"),
        QStringLiteral("Hourly"),  QStringLiteral("Daily"),     QStringLiteral("Weekly"),
        QStringLiteral("Monthly"), QStringLiteral("Quarterly"),
    };
    return labels;
}

int chartTimeCode(int index)
{
    if (index < 0 || index >= chartTimeLabels().size())
        return 1;
    return index + 1;
}

int chartFreqCode(int index)
{
    static constexpr int intraday[] = {9, 6, 7, 8};
    if (index < 0 || index >= chartFreqLabels().size())
        return 9;
    return index < 4 ? intraday[index] : index - 3;
}

QString chartAddress(const QString &symbol, int timeCode, int freqCode, const QString &site)
{
    const QString value = queryValue(symbol);
    return (site.isEmpty() ? QStringLiteral("http://charts.vantora.net") : site) +
           QStringLiteral("/print/print.asp?frames=0&symb=") + value +
           QStringLiteral("&unused=0&o_symb=") + value + QStringLiteral("&time=") +
           QString::number(timeCode) + QStringLiteral("&freq=") + QString::number(freqCode) +
           QStringLiteral("&backurl=%2Fquickchart%2Fquickchart%2Easp&prms=qcd");
}

QString symbolLookupAddress(const QString &companyName, const QString &site)
{
    return (site.isEmpty() ? QStringLiteral("http://lookup.vantora.net") : site) +
           QStringLiteral("/l?m=US&s=") + queryValue(companyName) + QStringLiteral("&t=");
}

QString islandBookAddress(const QString &symbol, const QString &site)
{
    return (site.isEmpty() ? QStringLiteral("http://book.vantora-data.test") : site) +
           QStringLiteral("/ds/tools/bookviewer/htmlbook.jsp?STOCK=") + queryValue(symbol);
}

QString feedPageAddress(const QString &site, const QString &kind, const QString &symbol,
                        const QString &source)
{
    QString address = site + u'/' + kind + u'?';
    if (!symbol.isEmpty())
        address += QStringLiteral("s=") + queryValue(symbol) + u'&';
    return address + QStringLiteral("source=") + queryValue(source);
}

QString builtInSite(const QString &stockUrl)
{
    const QUrl url(stockUrl);
    if (url.scheme() != QLatin1String("http") || !FeedConfig::isFeedUrl(url, quint16(url.port(80))))
        return {};
    return url
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo)
        .toString(QUrl::FullyEncoded);
}

// ---- Options lists -------------------------------------------------------------------------

QStringList sortColumnLabels(bool realTimeMode)
{
    return {QStringLiteral("Symbol"),
            realTimeMode ? QStringLiteral("Bid") : QStringLiteral("Prev Close"),
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

QStringList updateIntervalLabels(bool realTimeMode)
{
    QStringList labels;
    if (realTimeMode)
        labels << QStringLiteral(".25") << QStringLiteral(".50") << QStringLiteral(".75");
    labels << QStringLiteral("1") << QStringLiteral("1.5") << QStringLiteral("2")
           << QStringLiteral("5") << QStringLiteral("7") << QStringLiteral("10")
           << QStringLiteral("15") << QStringLiteral("20") << QStringLiteral("30")
           << QStringLiteral("45") << QStringLiteral("60");
    return labels;
}

QStringList pauseLabels()
{
    QStringList labels;
    for (int i = 1; i <= 10; ++i)
        labels.append(QString::number(i));
    return labels;
}

int listPosition(const QString &stored, int count, int fallback)
{
    if (count <= 0)
        return -1;
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    if (ok && value >= 0 && value < count)
        return value;
    return std::clamp(fallback, 0, count - 1);
}

// ---- fill procedures -----------------------------------------------------------------------

void FillChartLists(QComboBox *cboChartTime, QComboBox *cboChartFreq)
{
    fill(cboChartTime, chartTimeLabels(), 0);
    fill(cboChartFreq, chartFreqLabels(), 0);
}

void FillNewsList(QComboBox *cboStockNews)
{
    fill(cboStockNews, labelsOf(newsSources()), 0);
}

void FillIPOList(QComboBox *cboIPOList)
{
    fill(cboIPOList, labelsOf(ipoSources()), 0);
}

void FillScreenerList(QComboBox *cboScreener, const QString &portfolio)
{
    fillFromSetting(cboScreener, labelsOf(screenerSources()), portfolio, QStringLiteral("Screener"),
                    0);
}

void FillPauseList(QComboBox *cboPauseScroll, const QString &portfolio)
{
    fillFromSetting(cboPauseScroll, pauseLabels(), portfolio, QStringLiteral("ScrollPauseTime"), 0);
}

void FillResearchList(QComboBox *cboResearchSource, const QString &portfolio)
{
    fillFromSetting(cboResearchSource, labelsOf(researchSources()), portfolio,
                    QStringLiteral("Research"), 0);
}

void FillHomePageList(QComboBox *cboHomePage)
{
    fill(cboHomePage, labelsOf(homePages()), 0);
}

void FillHomePage(HomePageTable &HomePageURLs, const QString &startPage)
{
    HomePageURLs.fill(QString());
    const QList<Entry> &pages = homePages();
    for (int i = 0; i < pages.size() && i < int(HomePageURLs.size()); ++i)
        HomePageURLs[i] = entryAddress(pages.at(i), QString());
    if (!startPage.isEmpty())
        HomePageURLs[0] = startPage;
}

void FillSortList(QComboBox *cboSort, bool realTimeMode, const QString &portfolio)
{
    fillFromSetting(cboSort, sortColumnLabels(realTimeMode), portfolio,
                    QStringLiteral("SortColumn"), 0);
}

void FillTimerList(QComboBox *cboSeconds, bool realTimeMode, const QString &portfolio)
{
    fillFromSetting(cboSeconds, updateIntervalLabels(realTimeMode), portfolio,
                    QStringLiteral("UpdateSeconds"), 9);
}

} // namespace Catalogues
