#include "app/SettingsIO.h"
#include "app/StockMain.h"
#include "feed/FeedConfig.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "options/frmOptions.h"
#include "screen/Twips.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

namespace {

const QString kDefault = QStringLiteral("Settings\\Portfolios\\Default");

QString readDefault(const QString &key)
{
    return SettingsStore::read(kDefault, key, QStringLiteral("<missing>"));
}

} // namespace

// Loading and saving every setting of a portfolio through the real store and the real
// Options window.
class TestSettingsIO : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<StockMain> m_main;

    StockMain &start()
    {
        m_main = std::make_unique<StockMain>();
        m_main->Form_Load();
        return *m_main;
    }

private Q_SLOTS:
    void init()
    {
        SettingsStore::clearAll();
        SettingsStore::write("Settings", "FirstRun", "1");
        m_platform = std::make_unique<FakePlatform>();
    }
    void cleanup()
    {
        m_main.reset();
        m_platform.reset();
    }

    void emptyStoreGivesFirstStartValues()
    {
        StockMain &main = start();
        frmOptions *opt = main.options();
        QVERIFY(!opt->optAlertPopUp()->isChecked());
        QVERIFY(!opt->optAlertVisual()->isChecked());
        QVERIFY(!opt->optAlertSound()->isChecked());
        QVERIFY(main.options()->optSortOrder[0]->isChecked());
        QVERIFY(!main.options()->optSortOrder[1]->isChecked());
        QCOMPARE(main.options()->quoteSource(), QString("simulated"));
        for (QCheckBox *box :
             {opt->chkUseDefaultColors(), opt->chkStartHomePage(), opt->chkHomeSeparateBrowser(),
              opt->chkScroll(), opt->chkSeparateLogFiles()})
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        for (QCheckBox *box :
             {opt->chkQuoteUpdate(), opt->chkLogging(), opt->chkKeepOnTop(), opt->chkUseProxy(),
              opt->chkUseDialUp(), opt->chkShow(), opt->chkEnableLowAlert(), opt->chkAlertNotify()})
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        QCOMPARE(opt->txtProxyServer()->text(), QString("Proxy"));
        QCOMPARE(opt->txtProxyPort()->text(), QString("80"));
        QCOMPARE(opt->ScrollSlider()->value(), 3);
        QCOMPARE(opt->cboSeconds()->currentText(), QString("45"));
        QCOMPARE(main.options()->model().EvenRowColor.value(), 0x004000);
        QCOMPARE(main.options()->model().OddRowColor.value(), 0x606000);
        QCOMPARE(main.options()->model().HeaderColor.value(), 0xAAAAAA);
        QCOMPARE(main.state().CurrentPortfolio, QString("Default"));
        // Start-up gives the empty list its four default rows, not logged.
        FlexGrid *symbols = opt->gridSymbols();
        QCOMPARE(symbols->rows(), 5);
        QCOMPARE(symbols->textMatrix(4, 0), QString("DELL"));
        QCOMPARE(symbols->textMatrix(1, 2), QString("0.00"));
        QCOMPARE(symbols->cellPicture(1, 4).cacheKey(),
                 ImageList::instance().image(ImageList::BoxEmpty).cacheKey());
        // The default colours come with the five default index ticks.
        for (int i = 0; i < 42; ++i)
            QCOMPARE(main.options()->chkIndex[i]->isChecked(),
                     i == 0 || i == 4 || i == 8 || i == 11 || i == 22);
        // The demo's media buttons lead to the feed's pages, which name the live sources.
        QCOMPARE(main.options()->model().BTVURL.value(),
                 FeedConfig::mediaPageUrl("tv", OptionsModel::defaultBTVURL()));
        QCOMPARE(main.options()->model().RadioURL.value(),
                 FeedConfig::mediaPageUrl("radio", OptionsModel::defaultRadioURL()));
    }

    // Quotes from a service of the user's own: the media buttons lead to the live sources.
    void mediaAddressesFollowTheQuoteService()
    {
        SettingsStore::write("Settings", "StockURL", "http://quotes.example.com/q?s=");
        StockMain &main = start();
        QCOMPARE(main.options()->model().BTVURL.value(), OptionsModel::defaultBTVURL());
        QCOMPARE(main.options()->model().RadioURL.value(), OptionsModel::defaultRadioURL());
    }

    void everyKeyRoundTrips()
    {
        SettingsStore::write("Settings", "StockURL", "http://127.0.0.1:1/s?");
        SettingsStore::write("Settings", "MarketURL", "http://127.0.0.1:1/m?");
        SettingsStore::write("Settings", "IndicesURL", "http://127.0.0.1:1/i");
        SettingsStore::write("Settings", "QuoteSource", "Yahoo");
        const QList<QPair<QString, QString>> stored = {{"Symbol0", "AAPL"},
                                                       {"Shares1", "12.5"},
                                                       {"LowAlert1", "10.00"},
                                                       {"HighAlert1", "20.00"},
                                                       {"Log1", "1"},
                                                       {"AutoUpdate", "1"},
                                                       {"UpdateSeconds", "3"},
                                                       {"ChartTime", "2"},
                                                       {"ChartFreq", "1"},
                                                       {"StockNews", "4"},
                                                       {"IPOIndex", "5"},
                                                       {"Screener", "6"},
                                                       {"HomePageIndex", "7"},
                                                       {"StartHomePage", "0"},
                                                       {"HomeSeparateBrowser", "0"},
                                                       {"StopBrowser", "1"},
                                                       {"KeepOnTop", "1"},
                                                       {"Index3", "1"},
                                                       {"EnableScrollIndex", "0"},
                                                       {"ScrollPause", "1"},
                                                       {"ScrollPauseTime", "4"},
                                                       {"ScrollSpeed", "5"},
                                                       {"EnableAutoSort", "1"},
                                                       {"SortOrder0", "False"},
                                                       {"SortOrder1", "True"},
                                                       {"SortColumn", "4"},
                                                       {"ShowGridLines", "1"},
                                                       {"EnableLowAlert", "1"},
                                                       {"EnableHighAlert", "1"},
                                                       {"AlertPopUp", "False"},
                                                       {"AlertVisual", "False"},
                                                       {"AlertSound", "True"},
                                                       {"AlertNotify", "1"},
                                                       {"QuoteLogging", "1"},
                                                       {"SeparateLogFiles", "0"},
                                                       {"UseDefaultColors", "0"},
                                                       {"EvenRowColor", "255"},
                                                       {"OddRowColor", "65280"},
                                                       {"TextColor", "16711680"},
                                                       {"HeaderColor", "8421504"},
                                                       {"HeaderTextColor", "65535"},
                                                       {"AutoRemove", "False"},
                                                       {"UseDialUp", "0"},
                                                       {"EnableAutoDial", "1"},
                                                       {"Reconnect", "1"},
                                                       {"DisconnectOnExit", "1"},
                                                       {"UseProxyServer", "1"},
                                                       {"ProxyServer", "proxy1"},
                                                       {"ProxyPort", "8080"},
                                                       {"ShowStockValue", "1"},
                                                       {"PortfolioValue", "1,234.50"},
                                                       {"TradeFee", "9.95"},
                                                       {"Available", "1000"},
                                                       {"Mode", "Ticker"},
                                                       {"ColWidth12", "2300"}};
        for (const auto &[key, value] : stored)
            SettingsStore::write(kDefault, key, value);

        StockMain &main = start();
        frmOptions *opt = main.options();
        QCOMPARE(opt->gridSymbols()->textMatrix(1, 0), QString("AAPL"));
        QVERIFY(opt->chkQuoteUpdate()->isChecked());
        QVERIFY(opt->optAlertSound()->isChecked());
        QVERIFY(main.options()->optSortOrder[1]->isChecked());
        QCOMPARE(opt->txtProxyServer()->text(), QString("proxy1"));
        QCOMPARE(opt->cboQuoteSource()->currentText(), QString("Yahoo Finance"));
        QCOMPARE(main.state().WindowMode, QString("Ticker"));

        // Clear the store completely: everything written back must come from memory.
        SettingsStore::clearAll();
        main.saveAll();
        for (const auto &[key, value] : stored)
            QCOMPARE(readDefault(key) + " (" + key + ")", value + " (" + key + ")");
        QCOMPARE(SettingsStore::read("Settings", "StockURL"), QString("http://127.0.0.1:1/s?"));
        QCOMPARE(SettingsStore::read("Settings", "QuoteSource"), QString("yahoo"));
        QCOMPARE(SettingsStore::read("Settings", "StartPortfolio"), QString("Default"));
        QCOMPARE(SettingsStore::read("Settings", "StartPortfolioIndex"), QString("0"));
        QVERIFY(!SettingsStore::read("Settings", "Path").isEmpty());
    }

    void hexAndDecimalColoursAreTheSame()
    {
        SettingsStore::write(kDefault, "EvenRowColor", "&H004000");
        SettingsStore::write(kDefault, "OddRowColor", "16384");
        StockMain &main = start();
        QCOMPARE(main.options()->model().EvenRowColor.value(),
                 main.options()->model().OddRowColor.value());
        main.saveAll();
        QCOMPARE(readDefault("EvenRowColor"), QString("16384"));
    }

    void garbageLoadsWithoutFailing()
    {
        SettingsStore::write(kDefault, "UpdateSeconds", "lots");
        SettingsStore::write(kDefault, "HomePageIndex", "5000");
        SettingsStore::write(kDefault, "EvenRowColor", "greenish");
        SettingsStore::write(kDefault, "ScrollSpeed", "fast");
        SettingsStore::write(kDefault, "KeepOnTop", "maybe");
        SettingsStore::write(kDefault, "SortOrder0", "perhaps");
        SettingsStore::write(kDefault, "Top", "up");
        SettingsStore::write(kDefault, "ColWidth3", "wide");
        SettingsStore::write(kDefault, "Symbol0", "IBM");
        SettingsStore::write(kDefault, "QuoteLogging", "1"); // after the garbage: still loads
        // Keys an older or newer build wrote, which this one does not know.
        SettingsStore::write(kDefault, "AlertEmail", "me@example.test");
        SettingsStore::write(kDefault + "\\Chart", "Style", "Candles");
        SettingsStore::write("Settings", "LastUpdateCheck", "2001-09-09");
        StockMain &main = start();
        frmOptions *opt = main.options();
        QCOMPARE(opt->cboSeconds()->currentIndex(), 9);
        QVERIFY(opt->cboHomePage()->currentIndex() >= 0);
        QVERIFY(opt->cboHomePage()->currentIndex() < opt->cboHomePage()->count());
        QCOMPARE(main.options()->model().EvenRowColor.value(), 0x004000);
        QCOMPARE(opt->ScrollSlider()->value(), 3);
        QVERIFY(!opt->chkKeepOnTop()->isChecked());
        QVERIFY(main.options()->optSortOrder[0]->isChecked());
        QVERIFY(opt->chkLogging()->isChecked());
        QCOMPARE(opt->gridSymbols()->textMatrix(1, 0), QString("IBM"));
        QCOMPARE(main.form()->pos(), QPoint(0, 0));

        // Written back: the defaults in place of the garbage, the unknown keys untouched.
        main.saveAll();
        QSettings file(SettingsStore::fileName(), QSettings::IniFormat);
        QCOMPARE(file.value("Settings/Portfolios/Default/ScrollSpeed").toString(), QString("3"));
        QCOMPARE(file.value("Settings/Portfolios/Default/EvenRowColor").toString(),
                 QString("16384"));
        QCOMPARE(file.value("Settings/Portfolios/Default/AlertEmail").toString(),
                 QString("me@example.test"));
        QCOMPARE(file.value("Settings/Portfolios/Default/Chart/Style").toString(),
                 QString("Candles"));
        QCOMPARE(file.value("Settings/LastUpdateCheck").toString(), QString("2001-09-09"));
    }

    // A store that cannot be written: one message naming the file, the program goes on, and
    // the next save writes what the failed one could not.
    void failedSaveIsReportedOnceAndRetried()
    {
        StockMain &main = start();
        const QString path = SettingsStore::fileName();
        const QString folder = QFileInfo(path).absolutePath();
        QVERIFY(main.settings().SaveSettings());
        QVERIFY(QDir().rename(folder, folder + ".away"));
        QFile blocker(folder); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        main.options()->chkLogging()->setChecked(true);
        QVERIFY(!main.settings().SaveSettings());
        QVERIFY(!main.settings().SaveSettings());
        QCOMPARE(m_platform->messageBox.shown.size(), 1);
        QCOMPARE(m_platform->messageBox.shown[0].title, QString("Vantora Critical Error"));
        QVERIFY(m_platform->messageBox.shown[0].text.contains(QDir::toNativeSeparators(path)));

        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().rename(folder + ".away", folder));
        QVERIFY(main.settings().SaveSettings());
        QSettings file(path, QSettings::IniFormat);
        QCOMPARE(file.value("Settings/Portfolios/Default/QuoteLogging").toString(), QString("1"));
        QCOMPARE(file.value("Settings/FirstRun").toString(), QString("1"));
        QCOMPARE(m_platform->messageBox.shown.size(), 1);
    }

    // The store also writes itself from the event loop; a failure there that is over by the
    // next save raises no alarm, and that save really writes.
    void recoveredBackgroundWriteRaisesNoAlarm()
    {
        StockMain &main = start();
        const QString path = SettingsStore::fileName();
        const QString folder = QFileInfo(path).absolutePath();
        QVERIFY(main.settings().SaveSettings());
        QVERIFY(QDir().rename(folder, folder + ".away"));
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore::write("Settings", "Probe", "1");
        QCoreApplication::sendPostedEvents(); // the store's own write fails here
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().rename(folder + ".away", folder));

        main.options()->chkLogging()->setChecked(true);
        QVERIFY(main.settings().SaveSettings());
        QVERIFY(m_platform->messageBox.shown.isEmpty());
        QSettings file(path, QSettings::IniFormat);
        QCOMPARE(file.value("Settings/Portfolios/Default/QuoteLogging").toString(), QString("1"));
        QCOMPARE(file.value("Settings/Probe").toString(), QString("1"));
    }

    void emptySlotIsSkipped()
    {
        SettingsStore::write(kDefault, "Symbol0", "A");
        SettingsStore::write(kDefault, "Symbol1", "B");
        SettingsStore::write(kDefault, "Symbol2", "C");
        SettingsStore::write(kDefault, "Symbol4", "E");
        SettingsStore::write(kDefault, "Shares5", "50");
        SettingsStore::write(kDefault, "LowAlert5", "1.00");
        SettingsStore::write(kDefault, "HighAlert5", "9.00");
        SettingsStore::write(kDefault, "Log5", "1");
        StockMain &main = start();
        FlexGrid *grid = main.options()->gridSymbols();
        QCOMPARE(grid->rows(), 5);
        QCOMPARE(grid->textMatrix(4, 0), QString("E"));
        QCOMPARE(grid->textMatrix(4, 1), QString("50"));
        QCOMPARE(grid->textMatrix(4, 2), QString("1.00"));
        QCOMPARE(grid->textMatrix(4, 3), QString("9.00"));
        QCOMPARE(grid->textMatrix(3, 2), QString(".00")); // loaded without stored alerts
        QCOMPARE(grid->cellPicture(4, 4).cacheKey(),
                 ImageList::instance().image(ImageList::BoxTicked).cacheKey());
    }

    void emptyAutoUpdateSkipsColumnWidths()
    {
        SettingsStore::write(kDefault, "AutoUpdate", "");
        SettingsStore::write(kDefault, "ColWidth0", "3000");
        StockMain &main = start();
        QVERIFY(main.form()->gridQuotes()->colWidth(0) < 100);
    }

    void storedColumnWidthIsUsedAndKeptExactly()
    {
        SettingsStore::write(kDefault, "ColWidth0", "3000");
        SettingsStore::write(kDefault, "ColWidth1", "250");
        SettingsStore::write(kDefault, "ColWidth9", "620"); // the standard: room for "Day Low"
        StockMain &main = start();
        QCOMPARE(main.form()->gridQuotes()->colWidth(0), 200); // 3000 twips at 96 dpi
        QVERIFY(main.form()->gridQuotes()->colWidth(9) > Twips::toPixels(620));
        main.saveAll();
        QCOMPARE(readDefault("ColWidth0"), QString("3000"));
        QCOMPARE(readDefault("ColWidth1"), QString("250"));
        QCOMPARE(readDefault("ColWidth12"), QString("2300")); // never stored: standard width
    }

    void dialUpEntryReadOnlyWithDialUp()
    {
        m_platform->dialUp.entryNames = {"Work", "Home", "Backup"};
        SettingsStore::write(kDefault, "UseDialUp", "0");
        SettingsStore::write(kDefault, "DialUpDefault", "2");
        StockMain &main = start();
        QCOMPARE(main.options()->cboDialUpList()->currentIndex(), 0);
        m_main.reset();
        SettingsStore::write(kDefault, "UseDialUp", "1");
        StockMain &again = start();
        QCOMPARE(again.options()->cboDialUpList()->currentIndex(), 2);
    }
};

QTEST_MAIN(TestSettingsIO)
#include "tst_settingsio.moc"
