#include "settings/Catalogues.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <functional>

using namespace Catalogues;

namespace {

const QString kPortfolio = QStringLiteral("Default");

QString pathAndQuery(const QString &address)
{
    // Exactly as written (a parsed QUrl would normalise "%2E" to "."): all after the host.
    const qsizetype scheme = address.indexOf(QStringLiteral("://"));
    if (scheme < 0)
        return {};
    const qsizetype slash = address.indexOf(QLatin1Char('/'), scheme + 3);
    return slash < 0 ? QString() : address.mid(slash);
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SettingsStore::removeSection(SettingsStore::portfolioSection(kPortfolio)); }

    void fillProceduresAddTheirItems_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("chart time") << 0 << 9 << "One Day"
                                    << "Two Years";
        QTest::newRow("chart frequency") << 1 << 8 << "Minute"
                                         << "Quarterly";
        QTest::newRow("news") << 2 << 9 << "Bloomberg"
                              << "Yahoo!";
        QTest::newRow("IPO") << 3 << 22 << "123 Jump"
                             << "Yahoo!";
        QTest::newRow("screener") << 4 << 10 << "Yahoo!"
                                  << "Highmark Funds";
        QTest::newRow("pause") << 5 << 10 << "1"
                               << "10";
        QTest::newRow("research") << 6 << 9 << "FreeEDGAR"
                                  << "Zack's";
        QTest::newRow("home page") << 7 << 68 << "Vantora"
                                   << "Your Discount Broker";
        QTest::newRow("sort") << 8 << 13 << "Symbol"
                              << "Name";
        QTest::newRow("interval") << 9 << 11 << "1"
                                  << "60";
        QTest::newRow("interval, real time") << 10 << 14 << ".25"
                                             << "60";
    }

    void fillProceduresAddTheirItems()
    {
        QFETCH(int, list);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QComboBox box;
        QComboBox other;
        const std::function<void()> fills[] = {
            [&] { FillChartLists(&box, &other); },
            [&] { FillChartLists(&other, &box); },
            [&] { FillNewsList(&box); },
            [&] { FillIPOList(&box); },
            [&] { FillScreenerList(&box, kPortfolio); },
            [&] { FillPauseList(&box, kPortfolio); },
            [&] { FillResearchList(&box, kPortfolio); },
            [&] { FillHomePageList(&box); },
            [&] { FillSortList(&box, false, kPortfolio); },
            [&] { FillTimerList(&box, false, kPortfolio); },
            [&] { FillTimerList(&box, true, kPortfolio); },
        };
        box.addItem(QStringLiteral("left over"));
        fills[list]();
        QCOMPARE(box.count(), count);
        QCOMPARE(box.itemText(0), first);
        QCOMPARE(box.itemText(count - 1), last);
        QVERIFY(box.findText(QStringLiteral("left over")) < 0);
        // Filling again gives the same list, not a doubled one.
        fills[list]();
        QCOMPARE(box.count(), count);
        QVERIFY(box.currentIndex() >= 0);
    }

    void realTimeVariants()
    {
        QComboBox sort;
        FillSortList(&sort, true, kPortfolio);
        QCOMPARE(sort.count(), 13);
        QCOMPARE(sort.itemText(1), QStringLiteral("Bid"));
        QCOMPARE(sort.itemText(2), QStringLiteral("Ask"));
        FillSortList(&sort, false, kPortfolio);
        QCOMPARE(sort.itemText(1), QStringLiteral("Prev Close"));
        QCOMPARE(sort.itemText(2), QStringLiteral("EPS"));

        const QStringList delayed = {"1", "1.5", "2", "5", "7", "10", "15", "20", "30", "45", "60"};
        QCOMPARE(updateIntervalLabels(false), delayed);
        QCOMPARE(updateIntervalLabels(true), QStringList({".25", ".50", ".75"}) + delayed);
    }

    void positionsRestoredFromSettings_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored"); // null: not stored
        QTest::addColumn<QString>("selected");

        // 0 interval, 1 interval in real time, 2 sort, 3 pause, 4 research, 5 screener
        QTest::newRow("interval default") << 0 << "UpdateSeconds" << QString() << "45";
        QTest::newRow("interval default, real time") << 1 << "UpdateSeconds" << QString() << "15";
        QTest::newRow("interval 0 in real time") << 1 << "UpdateSeconds"
                                                 << "0"
                                                 << ".25";
        QTest::newRow("interval 0 delayed") << 0 << "UpdateSeconds"
                                            << "0"
                                            << "1";
        QTest::newRow("interval 13 in real time") << 1 << "UpdateSeconds"
                                                  << "13"
                                                  << "60";
        QTest::newRow("interval beyond the end") << 0 << "UpdateSeconds"
                                                 << "13"
                                                 << "45";
        QTest::newRow("interval garbage") << 0 << "UpdateSeconds"
                                          << "ten"
                                          << "45";
        QTest::newRow("interval nothing selected") << 0 << "UpdateSeconds"
                                                   << "-1"
                                                   << "45";
        QTest::newRow("sort column") << 2 << "SortColumn"
                                     << "12"
                                     << "Name";
        QTest::newRow("sort column with blanks") << 2 << "SortColumn"
                                                 << " 4 "
                                                 << "Last";
        QTest::newRow("sort column beyond the end") << 2 << "SortColumn"
                                                    << "99"
                                                    << "Symbol";
        QTest::newRow("sort column empty text") << 2 << "SortColumn"
                                                << ""
                                                << "Symbol";
        QTest::newRow("pause last") << 3 << "ScrollPauseTime"
                                    << "9"
                                    << "10";
        QTest::newRow("pause beyond the end") << 3 << "ScrollPauseTime"
                                              << "10"
                                              << "1";
        QTest::newRow("pause fraction") << 3 << "ScrollPauseTime"
                                        << "2.5"
                                        << "1";
        QTest::newRow("research") << 4 << "Research"
                                  << "7"
                                  << "Yahoo!";
        QTest::newRow("research huge") << 4 << "Research"
                                       << "99999999999"
                                       << "FreeEDGAR";
        QTest::newRow("screener") << 5 << "Screener"
                                  << "3"
                                  << "Quicken";
        QTest::newRow("screener default") << 5 << "Screener" << QString() << "Yahoo!";
    }

    void positionsRestoredFromSettings()
    {
        QFETCH(int, list);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        if (!stored.isNull())
            SettingsStore::write(SettingsStore::portfolioSection(kPortfolio), key, stored);
        // Another portfolio's value must not be the one read.
        SettingsStore::write(SettingsStore::portfolioSection(QStringLiteral("Other")), key,
                             QStringLiteral("2"));
        QComboBox box;
        QSignalSpy changes(&box, &QComboBox::currentIndexChanged);
        switch (list) {
        case 0:
            FillTimerList(&box, false, kPortfolio);
            break;
        case 1:
            FillTimerList(&box, true, kPortfolio);
            break;
        case 2:
            FillSortList(&box, false, kPortfolio);
            break;
        case 3:
            FillPauseList(&box, kPortfolio);
            break;
        case 4:
            FillResearchList(&box, kPortfolio);
            break;
        case 5:
            FillScreenerList(&box, kPortfolio);
            break;
        }
        QCOMPARE(box.currentText(), selected);
        // One change with the final position, not one per item added.
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toInt(), box.currentIndex());
    }

    void intervalChangesWithTheModeAtTheSameStoredPosition()
    {
        SettingsStore::write(SettingsStore::portfolioSection(kPortfolio),
                             QStringLiteral("UpdateSeconds"), QStringLiteral("9"));
        QComboBox box;
        FillTimerList(&box, false, kPortfolio);
        QCOMPARE(box.currentIndex(), 9);
        QCOMPARE(box.currentText(), QStringLiteral("45"));
        FillTimerList(&box, true, kPortfolio);
        QCOMPARE(box.currentIndex(), 9);
        QCOMPARE(box.currentText(), QStringLiteral("15"));
    }

    void listPosition_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("fallback");
        QTest::addColumn<int>("position");
        QTest::newRow("in range") << "3" << 10 << 0 << 3;
        QTest::newRow("last") << "9" << 10 << 0 << 9;
        QTest::newRow("one beyond") << "10" << 10 << 0 << 0;
        QTest::newRow("fallback beyond too") << "10" << 5 << 9 << 4;
        QTest::newRow("negative fallback") << "x" << 5 << -1 << 0;
        QTest::newRow("empty list") << "0" << 0 << 0 << -1;
        QTest::newRow("plus sign") << "+2" << 5 << 0 << 2;
        QTest::newRow("hex is garbage") << "&H2" << 5 << 1 << 1;
    }

    void listPosition()
    {
        QFETCH(QString, stored);
        QFETCH(int, count);
        QFETCH(int, fallback);
        QFETCH(int, position);
        QCOMPARE(Catalogues::listPosition(stored, count, fallback), position);
    }

    void homePageTable()
    {
        HomePageTable urls;
        urls.fill(QStringLiteral("stale"));
        FillHomePage(urls);
        for (int i = 0; i <= 67; ++i)
            QVERIFY2(QUrl(urls[i]).isValid() && !QUrl(urls[i]).host().isEmpty(),
                     qPrintable(QString::number(i)));
        for (int i = 68; i <= 70; ++i)
            QVERIFY(urls[i].isEmpty());
        QCOMPARE(urls[0], defaultStartPage());

        const QList<int> http = {0, 9, 11, 14, 18, 19, 21, 29, 33, 37, 40, 49};
        for (int i = 0; i <= 67; ++i)
            QCOMPARE(QUrl(urls[i]).scheme(),
                     http.contains(i) ? QStringLiteral("http") : QStringLiteral("https"));

        for (int i : {1, 4, 34, 41, 48, 50, 55, 57})
            QCOMPARE(pathAndQuery(urls[i]), QStringLiteral("/cgi-bin/login?Action=Login"));
        QCOMPARE(pathAndQuery(urls[13]), QStringLiteral("/cgi-bin/login?"));
        QCOMPARE(pathAndQuery(urls[24]), QStringLiteral("/cgi-bin/login?"));
        QCOMPARE(pathAndQuery(urls[2]), QString());
        // Vantora's start page is the built-in feed's, which works without the Internet.
        QCOMPARE(pathAndQuery(urls[0]), QStringLiteral("/vantora/"));
        QCOMPARE(pathAndQuery(urls[9]),
                 QStringLiteral("/index.php?section=tradenow&subsection=login"));
        QCOMPARE(pathAndQuery(urls[46]),
                 QStringLiteral("/sharebuilder/Account/Login.asp?State=0&RefUrl=%2Fsharebuilder"
                                "%2Findex%2Easp"));
        QCOMPARE(pathAndQuery(urls[32]),
                 QStringLiteral("/index.html?sectionName=myAccount&subSectionName=balances"));
        QCOMPARE(QUrl(urls[31]).path(), QStringLiteral("/rg2/"));
        QCOMPARE(QUrl(urls[43]).path(), QStringLiteral("/rgl/"));
        QCOMPARE(QUrl(urls[64]).path(), QStringLiteral("/wrh/"));
        QCOMPARE(QUrl(urls[43]).host(), QUrl(urls[31]).host());
        QCOMPARE(QUrl(urls[64]).host(), QUrl(urls[31]).host());
        QCOMPARE(QUrl(urls[7]).path(), QStringLiteral("/cantella/"));
        QCOMPARE(QUrl(urls[47]).path(), QStringLiteral("/msiebert/"));
        QCOMPARE(QUrl(urls[47]).host(), QUrl(urls[7]).host());

        // The list and the table agree entry by entry.
        QComboBox box;
        FillHomePageList(&box);
        QCOMPARE(box.itemText(46), QStringLiteral("ShareBuilder"));
        QCOMPARE(box.itemText(31), QStringLiteral("Investrade"));
        QCOMPARE(box.itemText(13), QStringLiteral("CompuTEL"));

        FillHomePage(urls, QStringLiteral("http://127.0.0.1:8080/"));
        QCOMPARE(urls[0], QStringLiteral("http://127.0.0.1:8080/"));
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected"); // path and query
        QTest::newRow("news Yahoo!") << entryAddress(newsSources(), 8, "IBM") << "/n/I/IBM.html";
        QTest::newRow("news CBS") << entryAddress(newsSources(), 1, "MSFT")
                                  << "/tools/quotes/news.asp?symb=MSFT&siteid=mktw";
        QTest::newRow("news MSN") << entryAddress(newsSources(), 4, "MSFT")
                                  << "/scripts/webquote.dll?iPage=news&Symbol=MSFT";
        QTest::newRow("news Reuters")
            << entryAddress(newsSources(), 6, "DELL")
            << "/quote.jhtml?ticker=DELL&qtype=sym&dd=cs&qcat=sbox&btn=sbl";
        QTest::newRow("research Yahoo! keeps case")
            << entryAddress(researchSources(), 7, "ibm") << "/q?s=ibm&d=t";
        QTest::newRow("research fixed ignores text")
            << entryAddress(researchSources(), 5, "ibm") << "/edgar/searchedgar/webusers.htm";
        QTest::newRow("research Zack's") << entryAddress(researchSources(), 8, "CSCO")
                                         << "/cgi-bin/JMFR/FreeReport?ref=COINFO%26ticker=CSCO";
        QTest::newRow("IPO SmartMoney")
            << entryAddress(ipoSources(), 16, "IBM") << "/ipoinfo/ipoinfo.asp?p=SMON";
        QTest::newRow("IPO stockpoint")
            << entryAddress(ipoSources(), 17, "") << "/ipo/ipohome.asp?";
        QTest::newRow("screener CBS") << entryAddress(screenerSources(), 5, "x")
                                      << "/tools/stockresearch/screener/default.asp?siteid=mktw";
        QTest::newRow("chart IBM One Week Daily")
            << chartAddress("IBM", chartTimeCode(2), chartFreqCode(4))
            << "/print/print.asp?frames=0&symb=IBM&unused=0&o_symb=IBM&time=3&freq=1"
               "&backurl=%2Fquickchart%2Fquickchart%2Easp&prms=qcd";
        QTest::newRow("lookup") << symbolLookupAddress("Acme") << "/l?m=US&s=Acme&t=";
    }

    void addresses()
    {
        QFETCH(QString, address);
        QFETCH(QString, expected);
        const QUrl url(address, QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(address));
        QCOMPARE(url.scheme(), QStringLiteral("http"));
        QVERIFY(!url.host().isEmpty());
        QCOMPARE(pathAndQuery(address), expected);
    }

    void everyCatalogueEntryIsWellFormed()
    {
        for (const QList<Entry> *catalogue :
             {&newsSources(), &researchSources(), &ipoSources(), &screenerSources()}) {
            for (const Entry &entry : *catalogue) {
                const QString address = entryAddress(entry, QStringLiteral("SYMBOLX"));
                QVERIFY2(address.startsWith(QStringLiteral("http://")), qPrintable(address));
                QVERIFY(!QUrl(address).host().isEmpty());
                QCOMPARE(address.contains(QStringLiteral("SYMBOLX")),
                         entry.placement != SymbolPlacement::Fixed);
            }
        }
        for (const Entry &entry : ipoSources())
            QCOMPARE(entry.placement, SymbolPlacement::Fixed);
        for (const Entry &entry : screenerSources())
            QCOMPARE(entry.placement, SymbolPlacement::Fixed);
        // Entries 11, 15 and 16 of the IPO list are one party's pages.
        const QString host = QUrl(entryAddress(ipoSources(), 11, {})).host();
        QCOMPARE(QUrl(entryAddress(ipoSources(), 15, {})).host(), host);
        QCOMPARE(QUrl(entryAddress(ipoSources(), 16, {})).host(), host);
        // No entry: no address.
        QCOMPARE(entryAddress(newsSources(), -1, QStringLiteral("IBM")), QString());
        QCOMPARE(entryAddress(newsSources(), 9, QStringLiteral("IBM")), QString());
        // An empty symbol leaves its place empty.
        QCOMPARE(pathAndQuery(entryAddress(newsSources(), 8, {})), QStringLiteral("/n//.html"));
    }

    void chartCodes_data()
    {
        QTest::addColumn<int>("timeIndex");
        QTest::addColumn<int>("freqIndex");
        QTest::addColumn<int>("timeCode");
        QTest::addColumn<int>("freqCode");
        QTest::newRow("Two Years, Minute") << 8 << 0 << 9 << 9;
        QTest::newRow("One Day, 5 Minutes") << 0 << 1 << 1 << 6;
        QTest::newRow("15 Minutes") << 3 << 2 << 4 << 7;
        QTest::newRow("Hourly") << 4 << 3 << 5 << 8;
        QTest::newRow("Daily") << 2 << 4 << 3 << 1;
        QTest::newRow("Quarterly") << 5 << 7 << 6 << 4;
        QTest::newRow("nothing selected") << -1 << -1 << 1 << 9;
        QTest::newRow("beyond the lists") << 9 << 8 << 1 << 9;
    }

    void chartCodes()
    {
        QFETCH(int, timeIndex);
        QFETCH(int, freqIndex);
        QFETCH(int, timeCode);
        QFETCH(int, freqCode);
        QCOMPARE(chartTimeCode(timeIndex), timeCode);
        QCOMPARE(chartFreqCode(freqIndex), freqCode);
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
