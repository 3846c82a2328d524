#include "app/StockMain.h"
#include "app/VantoraApp.h"
#include "browser/BrowserPanel.h"
#include "common/RuntimeError.h"
#include "feed/QuoteFeed.h"
#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "platform/ErrorReporter.h"
#include "settings/SettingsStore.h"
#include "support/TestDoubles.h"
#include "window/LinkButton.h"
#include "window/dlgDisclaimer.h"
#include "window/frmSplash.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString kDefault = QStringLiteral("Settings\\Portfolios\\Default");

} // namespace

// The program's start: splash, agreement, the main window's start-up sequence, and exit.
class TestStartUp : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakePlatform> m_platform;

private Q_SLOTS:
    void init()
    {
        SettingsStore::clearAll();
        m_platform = std::make_unique<FakePlatform>();
    }
    void cleanup() { m_platform.reset(); }

    void firstRunAsksBeforeAnythingIsStored()
    {
        QFile::remove(SettingsStore::fileName());
        VantoraApp app;
        // What the program looks like while the agreement is shown.
        struct Seen
        {
            bool called = false, mainLoaded = true, storeExists = true, splashTimer = true;
            bool splashShown = true;
            bool okAtFirst = true, okWhenTicked = false, okWhenCleared = true;
            QString text;
        } seen;
        app.runAgreement = [&](dlgDisclaimer &dialog) -> int {
            seen.called = true;
            seen.mainLoaded = app.main() != nullptr;
            seen.storeExists = QFileInfo::exists(SettingsStore::fileName());
            seen.splashTimer = app.splash()->Timer1.isActive();
            seen.splashShown = app.splash()->isVisible();
            seen.okAtFirst = dialog.OKButton()->isEnabled();
            seen.text = dialog.txtDisclaimer()->toPlainText();
            dialog.chkDisclaimer()->setChecked(true);
            seen.okWhenTicked = dialog.OKButton()->isEnabled();
            dialog.chkDisclaimer()->setChecked(false);
            seen.okWhenCleared = dialog.OKButton()->isEnabled();
            dialog.chkDisclaimer()->setChecked(true);
            dialog.OKButton()->click();
            return QDialog::Accepted;
        };
        QVERIFY(app.start());
        QVERIFY(seen.called);
        // Nothing has started and nothing is stored while the agreement waits, alone.
        QVERIFY(!seen.mainLoaded);
        QVERIFY(!seen.storeExists);
        QVERIFY(!seen.splashTimer);
        QVERIFY(!seen.splashShown);
        QVERIFY(seen.text.contains("agreement"));
        QVERIFY(!seen.okAtFirst);
        QVERIFY(seen.okWhenTicked);
        QVERIFY(!seen.okWhenCleared);
        // Accepting starts the program as on any later start: the splash for its time, then
        // the main window, shown, the default symbols, the timer running and the first
        // quotes coming in without a click.
        QVERIFY(app.splash()->isVisible());
        QVERIFY(app.splash()->Timer1.isActive());
        QVERIFY(!app.main());
        QTRY_VERIFY_WITH_TIMEOUT(app.main() != nullptr, 6000);
        QVERIFY(!app.splash()->isVisible());
        QVERIFY(app.main()->form()->isVisible());
        QCOMPARE(app.main()->form()->pos(), QPoint(0, 0));
        QCOMPARE(app.main()->options()->gridSymbols()->textMatrix(1, 0), QString("MSFT"));
        QVERIFY(app.main()->timInterval().isActive());
        QTRY_COMPARE_WITH_TIMEOUT(app.main()->form()->gridQuotes()->textMatrix(1, 0),
                                  QString("MSFT"), 10000);
        QCOMPARE(SettingsStore::read("Settings", "FirstRun"), QString("1"));
        QVERIFY(!SettingsStore::read("Settings", "Path").isEmpty());
        QVERIFY(!SettingsStore::read(kDefault, "FirstRun").isEmpty());
        QVERIFY(m_platform->messageBox.shown.isEmpty());
        app.main()->form()->hide();
    }

    // Refused, the store is as it was: not created when there was none, not touched when
    // there was one (a "0" left by hand).
    void refusingSavesNothing_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("no store") << false;
        QTest::newRow("a store") << true;
    }
    void refusingSavesNothing()
    {
        QFETCH(bool, existing);
        QFile::remove(SettingsStore::fileName());
        QByteArray before;
        if (existing) {
            SettingsStore::write("Settings", "FirstRun", "0");
            QVERIFY(SettingsStore::sync());
            QFile file(SettingsStore::fileName());
            QVERIFY(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }
        {
            VantoraApp app;
            app.runAgreement = [](dlgDisclaimer &dialog) -> int {
                dialog.CancelButton()->click();
                return QDialog::Rejected;
            };
            QVERIFY(!app.start());
        }
        SettingsStore::sync();
        QCOMPARE(QFileInfo::exists(SettingsStore::fileName()), existing);
        if (existing) {
            QFile file(SettingsStore::fileName());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), before);
        }
    }

    void missingAgreementTextIsFatal()
    {
        QTemporaryDir empty;
        const QByteArray dataDir = qgetenv("VANTORA_DATA_DIR");
        qputenv("VANTORA_DATA_DIR", empty.path().toLocal8Bit());
        VantoraApp app;
        bool shown = false;
        app.runAgreement = [&](dlgDisclaimer &) -> int {
            shown = true;
            return QDialog::Rejected;
        };
        const bool goesOn = app.start();
        qputenv("VANTORA_DATA_DIR", dataDir);
        QVERIFY(!goesOn);
        QVERIFY(!shown);
        QCOMPARE(m_platform->messageBox.shown.size(), 1);
        const auto &box = m_platform->messageBox.shown.constFirst();
        QCOMPARE(box.title, QString("Vantora Fatal Error"));
        QCOMPARE(box.text, QString("Fatal Error - File missing! Please re-download the Vantora "
                                   "installation program."));
        QCOMPARE(box.icon, MessageBoxService::Icon::Critical);
        QCOMPARE(box.buttons, int(QMessageBox::Ok));
    }

    void laterRunShowsWindowAfterSplash()
    {
        SettingsStore::write("Settings", "FirstRun", "1");
        VantoraApp app;
        bool shown = false;
        app.runAgreement = [&](dlgDisclaimer &) -> int {
            shown = true;
            return QDialog::Rejected;
        };
        QVERIFY(app.start());
        QVERIFY(!shown);
        QVERIFY(!app.main());
        QTRY_VERIFY_WITH_TIMEOUT(app.main() != nullptr, 6000);
        QVERIFY(!app.splash()->isVisible());
        QVERIFY(app.main()->form()->isVisible());
        QVERIFY(app.main()->timInterval().isActive());
        QCOMPARE(app.main()->form()->windowTitle(), QString("Vantora v2.0"));
        app.main()->form()->hide();
    }

    void storedZeroFirstRunStillAsksForAgreement()
    {
        SettingsStore::write("Settings", "FirstRun", "0");
        VantoraApp app;
        bool shown = false;
        app.runAgreement = [&](dlgDisclaimer &) -> int {
            shown = true;
            return QDialog::Rejected;
        };
        app.start();
        QVERIFY(shown);
    }

    // The built-in feed starts for its own address only: a service of the user's own on
    // another loopback port that is down stays down.
    void feedStartsOnlyForItsOwnAddress()
    {
        QuoteFeed::stopInProcess();
        for (const char *key : {"StockURL", "MarketURL", "IndicesURL"})
            SettingsStore::write("Settings", key, "http://127.0.0.1:1/download/quotes.csv?s=");
        SettingsStore::write("Settings", "FirstRun", "1");
        StockMain main;
        main.Form_Load();
        QVERIFY(QuoteFeed::inProcess() == nullptr);
        main.form()->hide();
    }

    void mode_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("mode");
        QTest::newRow("ticker") << "Ticker"
                                << "Ticker";
        QTest::newRow("browser") << "Browser"
                                 << "Browser";
        QTest::newRow("misspelt") << "Tikcer"
                                  << "Browser";
        QTest::newRow("empty") << ""
                               << "Browser";
        QTest::newRow("lower case") << "ticker"
                                    << "Browser";
    }
    void mode()
    {
        QFETCH(QString, stored);
        QFETCH(QString, mode);
        SettingsStore::write("Settings", "FirstRun", "1");
        SettingsStore::write(kDefault, "Mode", stored);
        StockMain main;
        main.Form_Load();
        QCOMPARE(main.state().WindowMode, mode);
        // The toggle writes the mode back at once.
        QCOMPARE(SettingsStore::read(kDefault, "Mode"), mode);
        const bool ticker = mode == QLatin1String("Ticker");
        QCOMPARE(main.form()->cmdPrintTicker()->isHidden(), !ticker);
        QCOMPARE(main.form()->FrameBrowserButtons()->isHidden(), ticker);
        QVERIFY(m_platform->sound.played.constLast().endsWith("Click.wav"));
        main.form()->hide();
    }

    void storedPosition_data()
    {
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QPoint>("pos");
        QTest::newRow("placed") << "1500"
                                << "3000" << QPoint(200, 100);
        QTest::newRow("top zero ignores left") << "0"
                                               << "3000" << QPoint(0, 0);
    }
    void storedPosition()
    {
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(QPoint, pos);
        SettingsStore::write("Settings", "FirstRun", "1");
        SettingsStore::write(kDefault, "Top", top);
        SettingsStore::write(kDefault, "Left", left);
        StockMain main;
        main.Form_Load();
        QCOMPARE(main.form()->pos(), pos);
        main.form()->hide();
    }

    void exitSavesPositionAndEveryKey()
    {
        SettingsStore::write("Settings", "FirstRun", "1");
        StockMain main;
        main.Form_Load();
        main.form()->move(300, 45);
        main.options()->chkLogging()->setChecked(true); // edited in memory, never OK'd
        QSignalSpy exiting(&main, &StockMain::exiting);
        main.cmdExit_Click();
        QCOMPARE(exiting.size(), 1);
        QVERIFY(m_platform->sound.played.constLast().endsWith("Click.wav"));
        QCOMPARE(SettingsStore::read(kDefault, "Top"), QString("675"));
        QCOMPARE(SettingsStore::read(kDefault, "Left"), QString("4500"));
        QCOMPARE(SettingsStore::read(kDefault, "QuoteLogging"), QString("1"));
        QCOMPARE(SettingsStore::read(kDefault, "UpdateSeconds"), QString("9"));
        QCOMPARE(SettingsStore::read(kDefault, "SortOrder0"), QString("True"));
        QCOMPARE(SettingsStore::read(kDefault, "EvenRowColor"), QString("16384"));
        QCOMPARE(SettingsStore::read(kDefault, "Index0"), QString("1"));
        QCOMPARE(SettingsStore::read(kDefault, "Symbol3"), QString("DELL"));
        QVERIFY(!main.form()->isVisible());
    }

    // The connection check keeps the chosen home page for the panel's browser, never the
    // system's: no browser starts while the tray is closed, and opening it shows the page.
    void startPageInThePanel()
    {
        SettingsStore::write("Settings", "FirstRun", "1");
        StockMain main;
        main.Form_Load();
        const int home = main.options()->cboHomePage()->currentIndex(); // ticked at first
        const QString page = main.state().HomePageURLs[std::size_t(home)];
        QTRY_COMPARE(main.browserPanel().locationURL(), page);
        QCOMPARE(m_platform->browsers.created, 0);
        main.browserPanel().ToggleBrowserTray();
        QVERIFY(m_platform->browsers.last);
        QCOMPARE(m_platform->browsers.last->navigated, QStringList{page});
        QVERIFY(m_platform->programs.urls.isEmpty());
        main.form()->hide();
    }

    void exitHangsUpWhenAsked()
    {
        SettingsStore::write("Settings", "FirstRun", "1");
        SettingsStore::write(kDefault, "UseDialUp", "1");
        SettingsStore::write(kDefault, "DisconnectOnExit", "1");
        m_platform->dialUp.entryNames = {"Work"};
        m_platform->dialUp.active = {{"/a/1", " Work "}, {"/a/2", "Other"}, {"/a/3", "Work"}};
        m_platform->connection.flags = ConnectionStateService::Modem;
        StockMain main;
        main.Form_Load();
        main.cmdExit_Click();
        QCOMPARE(m_platform->dialUp.hungUp, QStringList({"/a/1", "/a/3"}));
    }

    void errorMessageText()
    {
        ErrorMessage(RuntimeError("frmStockMain", 53, "File not found"));
        QCOMPARE(m_platform->messageBox.shown.size(), 1);
        const auto &box = m_platform->messageBox.shown.constFirst();
        QCOMPARE(box.title, QString("Error"));
        QCOMPARE(box.text, QString("frmStockMain Error # 53\rFile not found"));
        QCOMPARE(box.buttons, int(QMessageBox::Ok));
    }

    void guardReportsAndCarriesOn()
    {
        bool after = false;
        guard([] { throw RuntimeError("Vantora", 5, "Invalid procedure call"); });
        after = true;
        QVERIFY(after);
        QCOMPARE(m_platform->messageBox.shown.size(), 1);
        guardSilently([] { throw RuntimeError("Vantora", 6, "Overflow"); });
        QCOMPARE(m_platform->messageBox.shown.size(), 1);
    }

    void keepOnTopFollowsTheBox()
    {
        SettingsStore::write("Settings", "FirstRun", "1");
        SettingsStore::write(kDefault, "KeepOnTop", "1");
        StockMain main;
        main.Form_Load();
        QVERIFY(main.form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(main.form()->isVisible());
        main.options()->chkKeepOnTop()->setChecked(false);
        main.KeepOnTop();
        QVERIFY(!main.form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(main.form()->isVisible());
        main.form()->hide();
    }

    void windowsDirEndsWithSeparator()
    {
        const QString dir = StockMain::GetWindowsDir();
        QVERIFY(dir.endsWith('/'));
        QVERIFY(QFileInfo(dir).isDir());
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
