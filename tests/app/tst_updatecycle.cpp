#include "app/UpdateCycle.h"
#include "common/MainState.h"
#include "common/RuntimeError.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "options/frmOptions.h"
#include "support/TestDoubles.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestUpdateCycle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void countdown_data();
    void countdown();
    void disabledKeepsCounting();
    void shorterIntervalClipsTheCount();
    void intervalThatIsNoNumberStopsTheCount();
    void wideScreenButton_data();
    void wideScreenButton();
    void updateButton_data();
    void updateButton();

private:
    template <typename T> T *optionsControl(const char *name) const
    {
        return m_options->findChild<T *>(QLatin1String(name));
    }
    QString nextUpdateText() const
    {
        return m_form->findChild<QLineEdit *>(QStringLiteral("txtNextUpdate"))->text();
    }
    void chooseInterval(const QString &minutes);

    std::unique_ptr<FakePlatform> m_platform;
    MainState m_state;
    std::unique_ptr<frmStockMain> m_form;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<Transfer> m_transfer;
    std::unique_ptr<Connectivity> m_connectivity;
    QTimer m_timer;
    int m_downloads = 0;
    std::unique_ptr<UpdateCycle> m_cycle;
};

void TestUpdateCycle::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_state = MainState();
    m_form = std::make_unique<frmStockMain>();
    m_options = std::make_unique<frmOptions>();
    m_transfer = std::make_unique<Transfer>();
    m_connectivity = std::make_unique<Connectivity>(
        m_state, m_options->connectionControls(), *m_transfer, [](qint32) {}, m_timer);
    m_downloads = 0;
    m_timer.stop();
    m_cycle = std::make_unique<UpdateCycle>(m_state, *m_form, *m_options, *m_connectivity, m_timer,
                                            [this] { ++m_downloads; });
    m_cycle->setScreenWidthTwips([] { return 19200.0; });
    optionsControl<QCheckBox>("chkQuoteUpdate")->setChecked(true);
}

void TestUpdateCycle::cleanup()
{
    m_cycle.reset();
    m_connectivity.reset();
    m_transfer.reset();
    m_options.reset();
    m_form.reset();
    m_platform.reset();
}

void TestUpdateCycle::chooseInterval(const QString &minutes)
{
    auto *list = optionsControl<QComboBox>("cboSeconds");
    list->clear();
    list->addItems({QStringLiteral(".25"), QStringLiteral("1"), QStringLiteral("1.5"),
                    QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("abc")});
    list->setCurrentIndex(list->findText(minutes));
    QVERIFY(list->currentIndex() >= 0);
}

void TestUpdateCycle::countdown_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("seconds");
    // Texts after the first ticks, and from 61 seconds left on.
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("last");
    const QStringList end{QStringLiteral("1 Seconds"), QStringLiteral("0 Seconds")};
    QTest::newRow("1") << QStringLiteral("1") << 60
                       << QStringList{QStringLiteral("59 Seconds"), QStringLiteral("58 Seconds")}
                       << QStringList{QStringLiteral("59 Seconds")};
    QTest::newRow("1.5") << QStringLiteral("1.5") << 90
                         << QStringList{QStringLiteral("1.48 Minutes"),
                                        QStringLiteral("1.47 Minutes")}
                         << QStringList{QStringLiteral("1.02 Minutes"),
                                        QStringLiteral("60 Seconds"), QStringLiteral("59 Seconds")};
    QTest::newRow("5") << QStringLiteral("5") << 300
                       << QStringList{QStringLiteral("4.98 Minutes"),
                                      QStringLiteral("4.97 Minutes")}
                       << QStringList{QStringLiteral("1.02 Minutes"), QStringLiteral("60 Seconds"),
                                      QStringLiteral("59 Seconds")};
    QTest::newRow("2 keeps the point")
        << QStringLiteral("2") << 120 << QStringList{QStringLiteral("1.98 Minutes")}
        << QStringList{QStringLiteral("1.02 Minutes"), QStringLiteral("60 Seconds")};
}

void TestUpdateCycle::countdown()
{
    QFETCH(QString, minutes);
    QFETCH(int, seconds);
    QFETCH(QStringList, first);
    QFETCH(QStringList, last);
    chooseInterval(minutes);

    QStringList texts;
    for (int round = 0; round < 2; ++round) {
        texts.clear();
        for (int t = 1; t <= seconds; ++t) {
            m_cycle->timInterval_Timer();
            texts.append(nextUpdateText());
            // The download starts on the tick that shows 0 Seconds, not before.
            QCOMPARE(m_downloads, round + (t == seconds ? 1 : 0));
        }
        QCOMPARE(m_cycle->UpdateInterval, qint16(seconds));
        QCOMPARE(m_cycle->UpdateElapsed, qint16(0));
        QCOMPARE(texts.mid(0, first.size()), first);
        const int from = seconds >= 62 ? seconds - 62 : 0; // 61 seconds left
        QCOMPARE(texts.mid(from, last.size()), last);
        QCOMPARE(texts.last(), QStringLiteral("0 Seconds"));
        QCOMPARE(texts.at(seconds - 2), QStringLiteral("1 Seconds"));
        if (seconds == 120)
            QVERIFY(!texts.contains(QStringLiteral("2. Minutes"))); // 120 left is never shown
    }
    QCOMPARE(UpdateCycle::countdownText(120), QStringLiteral("2. Minutes"));
}

void TestUpdateCycle::disabledKeepsCounting()
{
    chooseInterval(QStringLiteral("1"));
    optionsControl<QCheckBox>("chkQuoteUpdate")->setChecked(false);
    for (int t = 0; t < 59; ++t)
        m_cycle->timInterval_Timer();
    QCOMPARE(nextUpdateText(), QStringLiteral("Disabled"));
    QCOMPARE(m_cycle->UpdateRemaining, qint16(1));
    m_cycle->timInterval_Timer();
    QCOMPARE(m_downloads, 0);
    QCOMPARE(m_cycle->UpdateElapsed, qint16(0));
    optionsControl<QCheckBox>("chkQuoteUpdate")->setChecked(true);
    m_cycle->timInterval_Timer();
    QCOMPARE(nextUpdateText(), QStringLiteral("59 Seconds"));
}

void TestUpdateCycle::shorterIntervalClipsTheCount()
{
    chooseInterval(QStringLiteral("5"));
    for (int t = 0; t < 100; ++t)
        m_cycle->timInterval_Timer();
    QCOMPARE(m_downloads, 0);
    chooseInterval(QStringLiteral("1"));
    m_cycle->timInterval_Timer();
    QCOMPARE(nextUpdateText(), QStringLiteral("0 Seconds"));
    QCOMPARE(m_downloads, 1);

    // No connection: the count starts again without a download.
    m_platform->connection.flags = 0;
    for (int t = 0; t < 60; ++t)
        m_cycle->timInterval_Timer();
    QCOMPARE(m_downloads, 1);
    QCOMPARE(m_cycle->UpdateElapsed, qint16(0));
}

void TestUpdateCycle::intervalThatIsNoNumberStopsTheCount()
{
    chooseInterval(QStringLiteral("1"));
    m_cycle->timInterval_Timer();
    QCOMPARE(nextUpdateText(), QStringLiteral("59 Seconds"));
    chooseInterval(QStringLiteral("abc"));
    for (int t = 0; t < 120; ++t)
        m_cycle->timInterval_Timer(); // ends silently, nothing escapes
    QCOMPARE(nextUpdateText(), QStringLiteral("59 Seconds"));
    QCOMPARE(m_cycle->UpdateElapsed, qint16(1));
    QCOMPARE(m_downloads, 0);
    optionsControl<QComboBox>("cboSeconds")->setCurrentIndex(-1);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, m_cycle->tick());
    // A quarter of a minute reads with "." whatever the locale.
    QCOMPARE(UpdateCycle::intervalSeconds(QStringLiteral(".25")), qint16(15));
}

void TestUpdateCycle::wideScreenButton_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<bool>("shown");
    QTest::newRow("exactly 14000") << 14000.0 << false;
    QTest::newRow("wider") << 14001.0 << true;
    QTest::newRow("narrow") << 12000.0 << false;
}

void TestUpdateCycle::wideScreenButton()
{
    QFETCH(double, twips);
    QFETCH(bool, shown);
    chooseInterval(QStringLiteral("abc")); // the button is placed before the interval is read
    m_cycle->setScreenWidthTwips([twips] { return twips; });
    m_cycle->timInterval_Timer();
    QCOMPARE(!m_form->findChild<QWidget *>(QStringLiteral("picMaxWide"))->isHidden(), shown);
}

void TestUpdateCycle::updateButton_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("proxy");
    QTest::addColumn<bool>("autoDial");
    QTest::addColumn<int>("downloads");
    QTest::addColumn<bool>("message");
    QTest::addColumn<bool>("dialled");
    QTest::newRow("connected") << true << false << false << 1 << false << false;
    QTest::newRow("offline") << false << false << false << 0 << true << false;
    QTest::newRow("offline, auto-dial") << false << false << true << 0 << false << true;
    QTest::newRow("offline behind a proxy") << false << true << false << 1 << true << false;
}

void TestUpdateCycle::updateButton()
{
    QFETCH(bool, connected);
    QFETCH(bool, proxy);
    QFETCH(bool, autoDial);
    QFETCH(int, downloads);
    QFETCH(bool, message);
    QFETCH(bool, dialled);
    m_platform->connection.flags = connected ? ConnectionStateService::Lan : 0;
    m_platform->dialUp.entryNames = {QStringLiteral("Provider")};
    auto *dialUpList = optionsControl<QComboBox>("cboDialUpList");
    dialUpList->addItem(QStringLiteral("Provider"));
    dialUpList->setCurrentIndex(0);
    optionsControl<QCheckBox>("chkUseProxy")->setChecked(proxy);
    optionsControl<QCheckBox>("chkAutoDial")->setChecked(autoDial);
    m_state.RedialPending = true;

    m_cycle->cmdUpdate_Click();
    QVERIFY(!m_state.RedialPending); // the watchdog may fire again

    QCOMPARE(m_downloads, downloads);
    QCOMPARE(m_timer.isActive(), downloads > 0 || dialled);
    QCOMPARE(m_platform->messageBox.shown.size(), message ? 1 : 0);
    if (message) {
        const FakeMessageBox::Shown &box = m_platform->messageBox.shown.first();
        QCOMPARE(box.title, QStringLiteral("Vantora Critical Error"));
        QCOMPARE(box.text, QStringLiteral("No active Internet connection detected!\r\nIf you are "
                                          "connected then please check your settings in Options."));
        QCOMPARE(box.icon, MessageBoxService::Icon::Critical);
    }
    QCOMPARE(m_platform->dialUp.dialled,
             dialled ? QStringList{QStringLiteral("Provider")} : QStringList());
    QCOMPARE(m_platform->sound.played.size(), 1); // the click
}

QTEST_MAIN(TestUpdateCycle)
#include "tst_updatecycle.moc"
