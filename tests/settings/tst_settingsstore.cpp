#include "screen/Colors.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

// The store's section rules and the conversions of the value forms.
class TestSettingsStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { SettingsStore::clearAll(); }

    void missingKeyGivesDefault()
    {
        QCOMPARE(SettingsStore::read("Settings", "Nothing", "dflt"), QString("dflt"));
        QCOMPARE(SettingsStore::read("Settings", "Nothing"), QString());
    }

    void trailingSeparatorNamesTheSameSection()
    {
        SettingsStore::write("Settings\\", "Path", "/x");
        QCOMPARE(SettingsStore::read("Settings", "Path"), QString("/x"));
        SettingsStore::write("Settings\\Portfolios\\A", "Top", "15");
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\A\\", "Top"), QString("15"));
    }

    void backslashesBecomeGroups()
    {
        SettingsStore::write("Settings\\Portfolios\\My Stocks", "Mode", "Ticker");
        QSettings raw(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
        QCOMPARE(raw.value("Settings/Portfolios/My Stocks/Mode").toString(), QString("Ticker"));
        QCOMPARE(SettingsStore::groupPath("Settings\\Portfolios\\X\\"),
                 QString("Settings/Portfolios/X"));
    }

    void removeKeyAndSection()
    {
        SettingsStore::write("Settings\\Portfolios\\A", "Symbol0", "MSFT");
        SettingsStore::write("Settings\\Portfolios\\A", "Symbol1", "IBM");
        SettingsStore::write("Settings\\Portfolios\\B", "Symbol0", "DELL");
        SettingsStore::removeKey("Settings\\Portfolios\\A", "Symbol1");
        SettingsStore::removeKey("Settings\\Portfolios\\A", "NeverThere"); // harmless
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\A", "Symbol1", "gone"),
                 QString("gone"));
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\A", "Symbol0"), QString("MSFT"));
        SettingsStore::removeSection("Settings\\Portfolios\\A\\");
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\A", "Symbol0", "gone"),
                 QString("gone"));
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\B", "Symbol0"), QString("DELL"));
        SettingsStore::removeSection("Settings\\Portfolios\\Never"); // harmless
    }

    // The whole store, "Settings" and the root of the portfolios are never removed, however
    // the section is spelt (a portfolio name that is empty or only separators among them).
    void protectedSectionsStay_data()
    {
        QTest::addColumn<QString>("section");
        for (const char *section :
             {"", "\\", "Settings", "Settings\\", "settings", "\\Settings\\\\",
              "Settings\\Portfolios", "Settings\\Portfolios\\", "SETTINGS\\portfolios",
              "Settings//Portfolios/", "Settings\\Portfolios\\\\", "/Settings/Portfolios//"})
            QTest::addRow("[%s]", section) << QString::fromLatin1(section);
    }

    void protectedSectionsStay()
    {
        QFETCH(QString, section);
        SettingsStore::write("Settings", "StartPortfolio", "A");
        SettingsStore::write("Settings\\Portfolios\\A", "Symbol0", "MSFT");
        QVERIFY(SettingsStore::isProtectedSection(section));
        QVERIFY(!SettingsStore::removeSection(section));
        SettingsStore::removeKey(section, "");
        QCOMPARE(SettingsStore::read("Settings", "StartPortfolio"), QString("A"));
        QCOMPARE(SettingsStore::read("Settings\\Portfolios\\A", "Symbol0"), QString("MSFT"));
    }

    void valuesWithCommasStayOneText()
    {
        SettingsStore::write("Settings", "BTVURL", "a=1;b=2,3");
        QCOMPARE(SettingsStore::read("Settings", "BTVURL"), QString("a=1;b=2,3"));
    }

    void colors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "16384" << true << 16384;
        QTest::newRow("hex") << "&H004000" << true << 16384;
        QTest::newRow("hex lower") << "&h4000" << true << 16384;
        QTest::newRow("hex trailing amp") << "&H4000&" << true << 16384;
        QTest::newRow("black") << "&H0" << true << 0;
        QTest::newRow("negative") << "-1" << true << -1;
        QTest::newRow("blanks") << "  255 " << true << 255;
        QTest::newRow("garbage") << "green" << false << 0;
        QTest::newRow("bad hex") << "&HXYZ" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("too big") << "99999999999" << false << 0;
    }
    void colors()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = Colors::parse(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void colorChannelsAreBlueGreenRed()
    {
        const QColor c = Colors::fromBgr(0xFFCC00); // red 0, green 204, blue 255
        QCOMPARE(c.red(), 0);
        QCOMPARE(c.green(), 204);
        QCOMPARE(c.blue(), 255);
        QCOMPARE(Colors::toBgr(c), 0xFFCC00);
    }

    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "9" << true << 9;
        QTest::newRow("minus one") << "-1" << true << -1;
        QTest::newRow("half to even down") << "2.5" << true << 2;
        QTest::newRow("half to even up") << "3.5" << true << 4;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("overflow") << "40000" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = ValueForms::toInt16(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(int(*parsed), value);
    }

    void flags_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1 not a flag
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("false any case") << "fALSE" << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("minus one") << "-1" << 1;
        QTest::newRow("garbage") << "yes" << -1;
    }
    void flags()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto flag = ValueForms::toFlag(text);
        QCOMPARE(flag.has_value() ? int(*flag) : -1, expected);
    }

    void positionOutOfRangeFallsBackToDefault()
    {
        QComboBox list;
        list.addItems({"a", "b", "c"});
        ValueForms::setPosition(&list, "7", "1");
        QCOMPARE(list.currentIndex(), 1);
        ValueForms::setPosition(&list, "x", "2");
        QCOMPARE(list.currentIndex(), 2);
        ValueForms::setPosition(&list, "-1", "0");
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(ValueForms::positionText(&list), QString("-1"));
        // Default outside the list too: the list keeps its position.
        list.setCurrentIndex(1);
        ValueForms::setPosition(&list, "9", "9");
        QCOMPARE(list.currentIndex(), 1);
    }

    void checkLoadRunsTheToggleHandler()
    {
        QCheckBox box;
        int toggles = 0;
        connect(&box, &QCheckBox::toggled, this, [&] { ++toggles; });
        ValueForms::setCheck(&box, "1", "0");
        QVERIFY(box.isChecked());
        ValueForms::setCheck(&box, "junk", "0"); // garbage takes the default
        QVERIFY(!box.isChecked());
        QCOMPARE(toggles, 2);
        ValueForms::setCheck(&box, "0", "0"); // no change, no handler
        QCOMPARE(toggles, 2);
    }

    void falseFlagClearsAnExclusiveOption()
    {
        QWidget parent;
        auto *a = new QRadioButton(&parent);
        auto *b = new QRadioButton(&parent);
        a->setChecked(true);
        ValueForms::setFlag(a, "False", "0");
        QVERIFY(!a->isChecked());
        QVERIFY(!b->isChecked());
        ValueForms::setFlag(b, "TRUE", "0");
        QVERIFY(b->isChecked());
    }

    void singleText()
    {
        QCOMPARE(ValueForms::singleText(0), QString("0"));
        QCOMPARE(ValueForms::singleText(1234), QString("1234"));
        QCOMPARE(ValueForms::singleText(-15), QString("-15"));
        QCOMPARE(ValueForms::singleText(12.5), QString("12.5"));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
