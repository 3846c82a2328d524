#include "grid/FlexGrid.h"
#include "grid/PortfolioValuer.h"
#include "options/frmOptions.h"
#include "screen/Colors.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

namespace {

// "shares;open;last" for each holding, in symbol-list order.
using Holdings = QStringList;

} // namespace

class TestPortfolioValuer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void values_data();
    void values();
    void frontPanelOnlyWhenShown();
    void shareCount_data();
    void shareCount();

private:
    void setHoldings(const Holdings &holdings);
    QLineEdit *box(QWidget *window, const char *name) const
    {
        return window->findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    QColor todayColor() const
    {
        return box(m_form.get(), "txtPortfolioToday")->palette().color(QPalette::Text);
    }

    std::unique_ptr<frmStockMain> m_form;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<PortfolioValuer> m_valuer;
};

void TestPortfolioValuer::init()
{
    m_form = std::make_unique<frmStockMain>();
    m_options = std::make_unique<frmOptions>();
    m_options->SetUp();
    m_valuer = std::make_unique<PortfolioValuer>(*m_form->gridQuotes(), m_options->view());
}

void TestPortfolioValuer::cleanup()
{
    m_valuer.reset();
    m_options.reset();
    m_form.reset();
}

void TestPortfolioValuer::setHoldings(const Holdings &holdings)
{
    auto *symbols = m_options->findChild<FlexGrid *>(QStringLiteral("gridSymbols"));
    auto *quotes = m_form->findChild<FlexGrid *>(QStringLiteral("gridQuotes"));
    QVERIFY(symbols && quotes);
    symbols->setRows(1);
    quotes->setCols(13);
    quotes->setRows(1);
    int n = 0;
    for (const QString &holding : holdings) {
        const QStringList f = holding.split(u';');
        const QString symbol = QStringLiteral("S") + QString::number(++n);
        symbols->addItem(symbol + u'\t' + f.at(0) + QStringLiteral("\t0.00\t0.00"));
        quotes->addItem(symbol + QStringLiteral("\t1\t1\t3:17pm\t") + f.at(2) +
                        QStringLiteral("\t+0\t+0%\t100\t") + f.at(1));
    }
}

void TestPortfolioValuer::values_data()
{
    QTest::addColumn<Holdings>("holdings");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("gainLoss");
    QTest::addColumn<QString>("today");
    QTest::addColumn<qint32>("color");

    const qint32 grey = PortfolioValuer::NoChangeColor;
    QTest::newRow("gain") << Holdings{"10;25.33;25.55"} << "255.50"
                          << "2.20"
                          << "+2.20" << Colors::Rise;
    QTest::newRow("loss, one sign") << Holdings{"10;26.80;25.55"} << "255.50"
                                    << "-12.50"
                                    << "-12.50" << Colors::Fall;
    QTest::newRow("no change") << Holdings{"10;25.55;25.55"} << "255.50"
                               << "0.00"
                               << "0.00" << grey;
    QTest::newRow("open N/A counts the last")
        << Holdings{"10;N/A;25.55", "10;25.00;25.55"} << "511.00"
        << "5.50"
        << "+5.50" << Colors::Rise;
    // Only the exact text "N/A" falls back; any other text reads as 0.
    QTest::newRow("open n/a reads 0") << Holdings{"1;n/a;2"} << "2.00"
                                      << "2.00"
                                      << "+2.00" << Colors::Rise;
    QTest::newRow("last N/A is worth 0") << Holdings{"10;N/A;N/A", "1;3;4"} << "4.00"
                                         << "1.00"
                                         << "+1.00" << Colors::Rise;
    QTest::newRow("separators in the value only")
        << Holdings{"100;12000;12345.6789"} << "1,234,567.89"
        << "34567.89"
        << "+34567.89" << Colors::Rise;
    QTest::newRow("loss over a thousand") << Holdings{"1000;12.5;10"} << "10,000.00"
                                          << "-2500.00"
                                          << "-2500.00" << Colors::Fall;
    QTest::newRow("shares halves to even") << Holdings{"2.5;10;11", "3.5;10;11"} << "66.00"
                                           << "6.00"
                                           << "+6.00" << Colors::Rise;
    QTest::newRow("no shares, no value") << Holdings{"0;10;11", ";10;11", "0.4;10;11"} << "0.00"
                                         << "0.00"
                                         << "0.00" << grey;
    QTest::newRow("short position") << Holdings{"-10;25.33;25.55"} << "-255.50"
                                    << "-2.20"
                                    << "-2.20" << Colors::Fall;
    // The opening value is taken in whole cents (half a cent up), as its box would show it.
    QTest::newRow("opening value in cents") << Holdings{"1;0.005;0.01"} << "0.01"
                                            << "0.00"
                                            << "0.00" << grey;
    QTest::newRow("many small amounts") << Holdings{"3;0.3333;0.3334", "3;0.3333;0.3334"} << "2.00"
                                        << "0.00"
                                        << "0.00" << grey;
    QTest::newRow("empty portfolio") << Holdings{} << "0.00"
                                     << "0.00"
                                     << "0.00" << grey;
}

void TestPortfolioValuer::values()
{
    QFETCH(Holdings, holdings);
    QFETCH(QString, value);
    QFETCH(QString, gainLoss);
    QFETCH(QString, today);
    QFETCH(qint32, color);

    setHoldings(holdings);
    m_options->findChild<QCheckBox *>(QStringLiteral("chkShow"))->setChecked(true);
    m_form->showPortfolio(m_valuer->CalcPortfolio());

    QCOMPARE(box(m_options.get(), "txtValue")->text(), value);
    QCOMPARE(box(m_options.get(), "txtGainLoss")->text(), gainLoss);
    QCOMPARE(box(m_form.get(), "txtPortfolioValue")->text(), value);
    QCOMPARE(box(m_form.get(), "txtPortfolioToday")->text(), today);
    QCOMPARE(todayColor(), Colors::fromBgr(color));
}

void TestPortfolioValuer::frontPanelOnlyWhenShown()
{
    setHoldings({QStringLiteral("10;25.33;25.55")});
    auto *show = m_options->findChild<QCheckBox *>(QStringLiteral("chkShow"));
    show->setChecked(true);
    m_form->showPortfolio(m_valuer->CalcPortfolio());
    QCOMPARE(box(m_form.get(), "txtPortfolioToday")->text(), QStringLiteral("+2.20"));

    show->setChecked(false);
    m_form->showPortfolio(m_valuer->CalcPortfolio());
    QCOMPARE(box(m_form.get(), "txtPortfolioValue")->text(), QStringLiteral("0"));
    QCOMPARE(box(m_form.get(), "txtPortfolioToday")->text(), QStringLiteral("0"));
    QCOMPARE(todayColor(), Colors::fromBgr(PortfolioValuer::NoChangeColor));
    // The account summary is filled all the same.
    QCOMPARE(box(m_options.get(), "txtValue")->text(), QStringLiteral("255.50"));
    QCOMPARE(box(m_options.get(), "txtGainLoss")->text(), QStringLiteral("2.20"));
}

void TestPortfolioValuer::shareCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("shares");
    QTest::newRow("whole") << "100" << 100;
    QTest::newRow("half down to even") << "0.5" << 0;
    QTest::newRow("half up to even") << "1.5" << 2;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("above half") << "2.51" << 3;
    QTest::newRow("text") << "N/A" << 0;
    QTest::newRow("too many") << "1e12" << std::numeric_limits<qint32>::max();
    QTest::newRow("too few") << "-1e12" << std::numeric_limits<qint32>::min();
}

void TestPortfolioValuer::shareCount()
{
    QFETCH(QString, text);
    QFETCH(qint32, shares);
    QCOMPARE(PortfolioValuer::shareCount(text), shares);
}

QTEST_MAIN(TestPortfolioValuer)
#include "tst_portfoliovaluer.moc"
