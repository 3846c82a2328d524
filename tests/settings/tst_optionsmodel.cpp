#include "settings/OptionsModel.h"
#include "settings/SettingsStore.h"

#include <QSignalSpy>
#include <QtTest>

// The typed settings of the Options window: defaults, stored forms, change signals and the
// way through the store.
class TestOptionsModel : public QObject
{
    Q_OBJECT

    static OptionValue *find(OptionsModel &model, const QString &key)
    {
        for (OptionValue *value : model.values())
            if (value->key() == key)
                return value;
        return nullptr;
    }

private Q_SLOTS:
    void init() { SettingsStore::clearAll(); }

    // What a stored text becomes, as written back: a missing key (null text) takes the
    // default; text that is not a value of the form takes the default too.
    void storedForms_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        const QString missing = "<missing>";
        QTest::newRow("check default") << "EnableScrollIndex" << missing << "1";
        QTest::newRow("check ticked") << "AutoUpdate"
                                      << "1"
                                      << "1";
        QTest::newRow("check out of range") << "SeparateLogFiles"
                                            << "2"
                                            << "1";
        QTest::newRow("check not a number") << "UseProxyServer"
                                            << "yes"
                                            << "0";
        QTest::newRow("flag default") << "SortOrder0" << missing << "True";
        QTest::newRow("flag any case") << "AlertSound"
                                       << "tRUE"
                                       << "True";
        QTest::newRow("flag from number") << "SortOrder0"
                                          << "0"
                                          << "False";
        QTest::newRow("flag bad") << "AlertPopUp"
                                  << "maybe"
                                  << "False";
        QTest::newRow("number") << "ScrollSpeed"
                                << "5"
                                << "5";
        QTest::newRow("number rounds half to even") << "ScrollSpeed"
                                                    << "2.5"
                                                    << "2";
        QTest::newRow("number bad") << "ScrollSpeed"
                                    << "fast"
                                    << "3";
        QTest::newRow("position none") << "SortColumn"
                                       << "-1"
                                       << "-1";
        QTest::newRow("position below none") << "UpdateSeconds"
                                             << "-2"
                                             << "9";
        QTest::newRow("position too big") << "HomePageIndex"
                                          << "40000"
                                          << "0";
        QTest::newRow("colour hex") << "EvenRowColor"
                                    << "&H0000FF"
                                    << "255";
        QTest::newRow("colour default") << "HeaderColor" << missing << QString::number(0xAAAAAA);
        QTest::newRow("colour bad") << "TextColor"
                                    << "&Hxyz" << QString::number(0xFFFFFF);
        QTest::newRow("text kept") << "ProxyServer"
                                   << " host "
                                   << " host ";
        QTest::newRow("text default") << "ProxyPort" << missing << "80";
        QTest::newRow("zoom default") << "Zoom" << missing << "100";
        QTest::newRow("zoom between steps") << "Zoom"
                                            << "190"
                                            << "200";
        QTest::newRow("zoom beyond the steps") << "Zoom"
                                               << "-40"
                                               << "100";
        QTest::newRow("zoom not a number") << "Zoom"
                                           << "1.5"
                                           << "100";
        QTest::newRow("index default") << "Index41" << missing << "0";
        QTest::newRow("address default")
            << "MarketURL" << missing << OptionsModel::defaultMarketURL();
    }
    void storedForms()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, written);
        OptionsModel model;
        OptionValue *value = find(model, key);
        QVERIFY2(value, qPrintable(key));
        if (stored != "<missing>")
            SettingsStore::write(value->section("A"), key, stored);
        OptionsModel::load(*value, "A");
        QCOMPARE(value->storedText(), written);
    }

    // An empty stored colour keeps the colour in force; the media defaults follow the quote
    // address; each key is declared once.
    void specialCases()
    {
        OptionsModel model;
        model.OddRowColor.set(0x123456);
        model.OddRowColor.load(QString());
        QCOMPARE(model.OddRowColor.value(), 0x123456);

        model.StockURL.set(OptionsModel::defaultStockURL());
        const QString feedRadio = model.RadioURL.defaultText();
        model.StockURL.set("http://elsewhere.test/q?s=");
        QCOMPARE(model.RadioURL.defaultText(), OptionsModel::defaultRadioURL());
        QVERIFY(feedRadio != OptionsModel::defaultRadioURL());

        QSet<QString> keys;
        for (const OptionValue *value : model.values())
            keys.insert(value->key());
        QCOMPARE(keys.size(), model.values().size());
        QCOMPARE(model.Index[7].key(), QString("Index7"));
    }

    // changed() fires once for each real change and never for the value already held, nor
    // for a load that yields the same value.
    void changeSignals()
    {
        OptionsModel model;
        QSignalSpy check(&model.ShowGridLines, &OptionValue::changed);
        model.ShowGridLines.set(true);
        model.ShowGridLines.set(true);
        model.ShowGridLines.load("1");
        QCOMPARE(check.count(), 1);
        model.ShowGridLines.load("junk"); // the default, clear
        QCOMPARE(check.count(), 2);
        QCOMPARE(model.ShowGridLines.value(), false);

        QSignalSpy text(&model.ProxyServer, &OptionValue::changed);
        QSignalSpy other(&model.ProxyPort, &OptionValue::changed);
        model.ProxyServer.set("a");
        model.ProxyServer.set("a");
        model.ProxyServer.set("b");
        QCOMPARE(text.count(), 2);
        QCOMPARE(other.count(), 0);
    }

    // Every stored value comes back from the store as it went in, in the right section;
    // values kept for the run only never reach the store.
    void roundTrip()
    {
        OptionsModel first;
        first.StockURL.set("http://quotes.test/q?s=");
        first.QuoteSource.set("stooq");
        first.UseDialUp.set(true);
        first.SortOrder0.set(false);
        first.SortOrder1.set(true);
        first.ScrollSpeed.set(5);
        first.SortColumn.set(-1);
        first.HeaderTextColor.set(0x102030);
        first.Index[3].set(true);
        first.TradeFee.set("9.99");
        first.GainLoss.set("12.00");
        first.EnableClickSort.set(true);
        first.storeAll("Mine");

        QCOMPARE(SettingsStore::read("Settings", "StockURL"), QString("http://quotes.test/q?s="));
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\Mine", "SortOrder1"), QString("True"));
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\Mine", "Index3"), QString("1"));
        QVERIFY(SettingsStore::read("Settings\\Portfolios\\Mine", "GainLoss", "none") == "none");
        QVERIFY(SettingsStore::read("Settings\\Portfolios\\Mine", "EnableClickSort", "none") ==
                "none");

        OptionsModel second;
        second.loadAll("Mine");
        for (int i = 0; i < first.values().size(); ++i) {
            const OptionValue *a = first.values().at(i);
            const OptionValue *b = second.values().at(i);
            if (a->scope() != OptionValue::Scope::Run)
                QCOMPARE(b->storedText(), a->storedText());
        }
        QCOMPARE(second.GainLoss.value(), QString());
        QCOMPARE(second.EnableClickSort.value(), false);
    }
};

QTEST_GUILESS_MAIN(TestOptionsModel)
#include "tst_optionsmodel.moc"
