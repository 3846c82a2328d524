#include "grid/AlertChecker.h"
#include "grid/FlexGrid.h"
#include "options/frmOptions.h"
#include "screen/Colors.h"
#include "support/TestDoubles.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QtTest>

namespace {

const QColor kLowAlert = Colors::fromBgr(Colors::Fall);
const QColor kHighAlert = Colors::fromBgr(Colors::HighAlert);

struct Holding
{
    QString symbol;
    QString low;
    QString high;
    QString last;
};

} // namespace

class TestAlertChecker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void limits_data();
    void limits();
    void switchedOffKindsAreNotTested();
    void bothAlertsOnOneRow();
    void oneSoundPerKindPerCall();
    void oneBoxPerAlertingRow();
    void visualOnlyShowsNoBoxAndPlaysNothing();
    void alertPricesFollowTheSymbolAfterSorting();
    void alertsAgainWhileBeyondTheLimit();
    void desktopNotifications();

private:
    void setRows(const QList<Holding> &rows);
    void enable(bool low, bool high, QRadioButton *style);
    QStringList soundsPlayed() const;

    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<FlexGrid> m_grid;
    std::unique_ptr<AlertChecker> m_checker;
};

void TestAlertChecker::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_options = std::make_unique<frmOptions>();
    m_options->SetUp();
    m_grid = std::make_unique<FlexGrid>();
    m_grid->setCols(13);
    m_checker = std::make_unique<AlertChecker>(m_options->view(), *m_grid, nullptr);
}

void TestAlertChecker::cleanup()
{
    m_checker.reset();
    m_grid.reset();
    m_options.reset();
    m_platform.reset();
}

// The same holdings in both grids, in the same order.
void TestAlertChecker::setRows(const QList<Holding> &rows)
{
    FlexGrid *symbols = m_options->findChild<FlexGrid *>(QStringLiteral("gridSymbols"));
    QVERIFY(symbols);
    symbols->setRows(1);
    m_grid->setRows(1);
    for (const Holding &h : rows) {
        symbols->addItem(h.symbol + QStringLiteral("\t100\t") + h.low + u'\t' + h.high);
        m_grid->addItem(h.symbol + QStringLiteral("\t10\t1\t3:17pm\t") + h.last);
    }
}

void TestAlertChecker::enable(bool low, bool high, QRadioButton *style)
{
    m_options->findChild<QCheckBox *>(QStringLiteral("chkEnableLowAlert"))->setChecked(low);
    m_options->findChild<QCheckBox *>(QStringLiteral("chkEnableHighAlert"))->setChecked(high);
    style->setChecked(true);
}

QStringList TestAlertChecker::soundsPlayed() const
{
    QStringList names;
    for (const QString &path : m_platform->sound.played)
        names << QFileInfo(path).fileName();
    return names;
}

void TestAlertChecker::limits_data()
{
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("lowHit");
    QTest::addColumn<bool>("highHit");

    QTest::newRow("between") << "20.00"
                             << "30.00"
                             << "25.00" << false << false;
    QTest::newRow("at the low") << "20.00"
                                << "30.00"
                                << "20.00" << true << false;
    QTest::newRow("below the low") << "20.00"
                                   << "30.00"
                                   << "19.99" << true << false;
    QTest::newRow("at the high") << "20.00"
                                 << "30.00"
                                 << "30" << false << true;
    QTest::newRow("above the high") << "20.00"
                                    << "30.00"
                                    << "30.01" << false << true;
    QTest::newRow("no limits") << "0.00"
                               << "0.00"
                               << "25.00" << false << false;
    QTest::newRow("empty limits") << ""
                                  << ""
                                  << "0" << false << false;
    // A price the service did not give is no fall to 0: neither alert fires.
    QTest::newRow("price N/A, no alert") << "20.00"
                                         << "30.00"
                                         << "N/A" << false << false;
    QTest::newRow("price empty, no alert") << "20.00"
                                           << "30.00"
                                           << "" << false << false;
    QTest::newRow("price N/A, high only") << "0.00"
                                          << "30.00"
                                          << "N/A" << false << false;
}

void TestAlertChecker::limits()
{
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(QString, last);
    QFETCH(bool, lowHit);
    QFETCH(bool, highHit);

    setRows({{QStringLiteral("MSFT"), low, high, last}});
    enable(true, true, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertVisual")));
    m_checker->CheckAlerts();

    QCOMPARE(m_checker->LowAlertHit, lowHit);
    QCOMPARE(m_checker->HighAlertHit, highHit);
    const QColor back = m_grid->cellBackColor(1, 4);
    if (highHit)
        QCOMPARE(back, kHighAlert);
    else if (lowHit)
        QCOMPARE(back, kLowAlert);
    else
        QVERIFY(!back.isValid());
    // The alert colours only the last-price cell.
    QVERIFY(!m_grid->cellBackColor(1, 0).isValid());
    QVERIFY(!m_grid->cellBackColor(1, 5).isValid());
}

void TestAlertChecker::switchedOffKindsAreNotTested()
{
    setRows({{QStringLiteral("LOW"), QStringLiteral("20"), QString(), QStringLiteral("10")},
             {QStringLiteral("HIGH"), QString(), QStringLiteral("20"), QStringLiteral("30")}});
    enable(false, false, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertSound")));
    m_checker->CheckAlerts();
    QVERIFY(!m_grid->cellBackColor(1, 4).isValid());
    QVERIFY(!m_grid->cellBackColor(2, 4).isValid());
    QVERIFY(m_platform->sound.played.isEmpty());

    enable(true, false, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertSound")));
    m_checker->CheckAlerts();
    QCOMPARE(m_grid->cellBackColor(1, 4), kLowAlert);
    QVERIFY(!m_grid->cellBackColor(2, 4).isValid());
    QCOMPARE(soundsPlayed(), QStringList{QStringLiteral("Lowalert.wav")});
}

void TestAlertChecker::bothAlertsOnOneRow()
{
    // A low limit above the price and a high limit below it.
    setRows({{QStringLiteral("MSFT"), QStringLiteral("30.00"), QStringLiteral("20.00"),
              QStringLiteral("25.00")}});
    enable(true, true, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertPopUp")));
    m_checker->CheckAlerts();
    QVERIFY(m_checker->LowAlertHit);
    QVERIFY(m_checker->HighAlertHit);
    QCOMPARE(m_grid->cellBackColor(1, 4), kHighAlert);
    QCOMPARE(m_platform->messageBox.shown.size(), 2);
    QVERIFY(m_platform->messageBox.shown.at(0).text.startsWith(u"Low Stock Price Alert!"));
    QVERIFY(m_platform->messageBox.shown.at(1).text.startsWith(u"High Stock Price Alert!"));
}

void TestAlertChecker::oneSoundPerKindPerCall()
{
    setRows({{QStringLiteral("A"), QStringLiteral("20"), QString(), QStringLiteral("10")},
             {QStringLiteral("B"), QStringLiteral("20"), QString(), QStringLiteral("15")},
             {QStringLiteral("C"), QString(), QStringLiteral("5"), QStringLiteral("10")},
             {QStringLiteral("D"), QString(), QStringLiteral("5"), QStringLiteral("10")}});
    enable(true, true, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertSound")));
    m_checker->CheckAlerts();
    QCOMPARE(soundsPlayed(),
             (QStringList{QStringLiteral("Lowalert.wav"), QStringLiteral("Highalert.wav")}));
    QVERIFY(m_platform->messageBox.shown.isEmpty());
    // The next download plays them again.
    m_checker->CheckAlerts();
    QCOMPARE(soundsPlayed().size(), 4);
}

void TestAlertChecker::oneBoxPerAlertingRow()
{
    setRows({{QStringLiteral("MSFT"), QStringLiteral("60.00"), QStringLiteral("0.00"),
              QStringLiteral("57.67")},
             {QStringLiteral("IBM"), QStringLiteral("0.00"), QStringLiteral("0.00"),
              QStringLiteral("80")},
             {QStringLiteral("DELL"), QStringLiteral("0.00"), QStringLiteral("25.00"),
              QStringLiteral("25.5")}});
    enable(true, true, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertPopUp")));
    m_checker->CheckAlerts();

    const auto &shown = m_platform->messageBox.shown;
    QCOMPARE(shown.size(), 2);
    for (const auto &box : shown) {
        QCOMPARE(box.title, QStringLiteral("Vantora Stock Alert!"));
        QCOMPARE(box.icon, MessageBoxService::Icon::Warning);
        QCOMPARE(box.buttons, int(QMessageBox::Ok));
    }
    QCOMPARE(shown.at(0).text,
             QStringLiteral("Low Stock Price Alert!\r\nMSFT sold at or below  $57.67"));
    QCOMPARE(shown.at(1).text,
             QStringLiteral("High Stock Price Alert!\r\nDELL sold at or above $25.5"));
    QVERIFY(m_platform->sound.played.isEmpty());
    // The grid stays shown after the boxes, so no later alert plays over a hidden grid.
    QVERIFY(!m_grid->isHidden());
    QVERIFY(m_grid->redraw());
}

void TestAlertChecker::visualOnlyShowsNoBoxAndPlaysNothing()
{
    setRows({{QStringLiteral("MSFT"), QStringLiteral("60.00"), QStringLiteral("50.00"),
              QStringLiteral("57.67")}});
    enable(true, true, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertVisual")));
    m_checker->CheckAlerts();
    QCOMPARE(m_grid->cellBackColor(1, 4), kHighAlert);
    QVERIFY(m_platform->messageBox.shown.isEmpty());
    QVERIFY(m_platform->sound.played.isEmpty());
}

void TestAlertChecker::alertPricesFollowTheSymbolAfterSorting()
{
    setRows({{QStringLiteral("AAA"), QStringLiteral("50.00"), QStringLiteral("0.00"),
              QStringLiteral("40")},
             {QStringLiteral("BBB"), QStringLiteral("0.00"), QStringLiteral("0.00"),
              QStringLiteral("10")}});
    // The quote grid sorted by last price: BBB first; the symbol list keeps its order.
    m_grid->sortRows(FlexGrid::SortNumericAscending, 4, 1, 2);
    QCOMPARE(m_grid->textMatrix(1, 0), QStringLiteral("BBB"));
    enable(true, false, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertPopUp")));
    m_checker->CheckAlerts();
    QVERIFY(!m_grid->cellBackColor(1, 4).isValid());
    QCOMPARE(m_grid->cellBackColor(2, 4), kLowAlert);
    QCOMPARE(m_platform->messageBox.shown.size(), 1);
    QVERIFY(m_platform->messageBox.shown.at(0).text.endsWith(u"AAA sold at or below  $40"));
}

void TestAlertChecker::alertsAgainWhileBeyondTheLimit()
{
    setRows({{QStringLiteral("MSFT"), QStringLiteral("60.00"), QString(), QStringLiteral("57")}});
    enable(true, false, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertPopUp")));
    m_checker->CheckAlerts();
    m_checker->CheckAlerts();
    QCOMPARE(m_platform->messageBox.shown.size(), 2);
    // Back above the limit: no alert, and the flag says so.
    m_grid->setTextMatrix(1, 4, QStringLiteral("61"));
    m_checker->CheckAlerts();
    QCOMPARE(m_platform->messageBox.shown.size(), 2);
    QVERIFY(!m_checker->LowAlertHit);
}

// Ticked, every alert also goes to the desktop, once per symbol and direction in a download,
// whatever the alert style; unticked (the default), nothing does.
void TestAlertChecker::desktopNotifications()
{
    setRows({{QStringLiteral("MSFT"), QString(), QStringLiteral("50"), QStringLiteral("50.25")},
             {QStringLiteral("IBM"), QStringLiteral("80.5"), QStringLiteral("70"),
              QStringLiteral("75")},
             {QStringLiteral("msft"), QString(), QStringLiteral("50"), QStringLiteral("50.25")},
             {QStringLiteral("DELL"), QStringLiteral("20"), QStringLiteral("30"),
              QStringLiteral("25")}});
    auto *notify = m_options->findChild<QCheckBox *>(QStringLiteral("chkAlertNotify"));
    QVERIFY(notify);
    enable(true, true, m_options->findChild<QRadioButton *>(QStringLiteral("optAlertVisual")));
    QVERIFY(notify->isEnabled());
    m_checker->CheckAlerts();
    QVERIFY(m_platform->notifications.sent.isEmpty());

    notify->setChecked(true);
    m_checker->CheckAlerts();
    const auto &sent = m_platform->notifications.sent;
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.at(0).summary, QStringLiteral("MSFT at or above $50.00"));
    QCOMPARE(sent.at(0).body, QStringLiteral("Last price $50.25 at 3:17pm"));
    QCOMPARE(sent.at(1).summary, QStringLiteral("IBM at or below $80.50"));
    QCOMPARE(sent.at(2).summary, QStringLiteral("IBM at or above $70.00"));
    QVERIFY(m_platform->messageBox.shown.isEmpty());
    // The next download notifies again.
    m_checker->CheckAlerts();
    QCOMPARE(sent.size(), 6);
}

QTEST_MAIN(TestAlertChecker)
#include "tst_alertchecker.moc"
