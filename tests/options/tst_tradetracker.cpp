#include "MainHarness.h"

#include "app/OptionsWindow.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "grid/FlexGrid.h"
#include "options/TradeTracker.h"
#include "options/frmOptions.h"
#include "ui_frmOptions.h"

#include <QtTest>
#include <QtWidgets>

class TestTradeTracker : public QObject
{
    Q_OBJECT

    FakePlatform m_platform;
    MainHarness m_harness;
    std::unique_ptr<StockMain> m_main;
    Ui::frmOptions *ui = nullptr;

    TradeTracker &tracker() { return m_main->optionsWindow().trades(); }
    QByteArray logBytes()
    {
        QFile file(tracker().logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Chooses a type and fills the boxes as a person would, then presses Log.
    void record(const QString &type, const QString &shares, const QString &symbol,
                const QString &price, const QString &fee)
    {
        ui->cboBuySell->setCurrentIndex(ui->cboBuySell->findText(type));
        // Credits and debits fill and lock their own quantity and symbol.
        for (auto [box, text] :
             std::initializer_list<std::pair<QLineEdit *, QString>>{{ui->txtBuySellShares, shares},
                                                                    {ui->txtBuySellSymbol, symbol},
                                                                    {ui->txtBuySellPrice, price},
                                                                    {ui->txtFee, fee}})
            if (box->isEnabled())
                box->setText(text);
        ui->txtTracking->setText(QStringLiteral("T-1"));
        ui->txtDate->setText(QStringLiteral("12/7/26"));
        ui->txtTime->setText(QStringLiteral("03:17 PM"));
        QVERIFY(ui->cmdLogTransaction->isEnabled());
        ui->cmdLogTransaction->click();
    }

private Q_SLOTS:
    void init()
    {
        MainHarness::freshStore();
        QDir(TradeTracker::logFolder()).removeRecursively();
        m_platform.messageBox.shown.clear();
        m_platform.messageBox.answers.clear();
        m_main = m_harness.start();
        ui = m_main->options()->ui;
        ui->gridSymbols->setTextMatrix(1, 1, QStringLiteral("10")); // MSFT
    }
    void cleanup() { m_main.reset(); }

    void firstTransactionWritesHeaderThenLine();
    void transactions_data();
    void transactions();
    void shortLinesAreNotShown();
    void printsTheLogWithShortHeadings();
};

void TestTradeTracker::firstTransactionWritesHeaderThenLine()
{
    ui->txtCash->setText(QStringLiteral("5000"));
    record(QStringLiteral("Bought"), QStringLiteral("5"), QStringLiteral("msft"),
           QStringLiteral("20.5"), QStringLiteral("9.99"));
    const QByteArray line = "Buy\t5\tMSFT\t20.5\t9.99\t-112.49\t12/7/26\t03:17 PM       T-1\r\n";
    const QByteArray header = "Desc.\tQuantity\tSecurity\tPrice\tFees\tNet $\tDate     \t"
                              "Time               Tracking No.\r\n";
    QCOMPARE(logBytes(), header + line);
    QVERIFY(tracker().logPath().endsWith(
        QStringLiteral("/Log Files/Default %1 TradeLog.txt").arg(MonthTag(QDate::currentDate()))));
    // Back to idle: the fee box is empty and the boxes wait for a type.
    QVERIFY(ui->txtFee->text().isEmpty());
    QCOMPARE(ui->cboBuySell->currentIndex(), 0);
    QVERIFY(!ui->txtBuySellShares->isEnabled());

    // The header is written once; the next line is appended.
    record(QStringLiteral("Sold"), QStringLiteral("1"), QStringLiteral("MSFT"),
           QStringLiteral("30"), QStringLiteral("0"));
    QVERIFY(logBytes().startsWith(QByteArray(header + line + "Sell\t1\tMSFT\t30\t0\t30\t")));
}

void TestTradeTracker::transactions_data()
{
    // type, shares, price, fee, cash, stock value
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("answer");        // to the fee warning, 0 when none is expected
    QTest::addColumn<QString>("message");   // the one message shown, if any
    QTest::addColumn<QByteArray>("logged"); // the line's start, empty when nothing is written
    QTest::addColumn<QStringList>("after"); // cash, stock value, MSFT shares

    const QString refusal = TradeTracker::RefusalText;
    const QString feeWarning = QString::fromLatin1(TradeTracker::FeeWarningText) +
                               QStringLiteral("\nMake this trade anyway?");
    QTest::newRow("purchase equal to the cash")
        << QStringList{"Bought", "10", "100", "10", "1010", "0"} << int(QMessageBox::Yes)
        << feeWarning << QByteArray("Buy\t10\tMSFT\t100\t10\t-1010\t")
        << QStringList{"0", "1000", "20"};
    QTest::newRow("purchase declined at the fee warning")
        << QStringList{"Bought", "10", "100", "10", "1010", "0"} << int(QMessageBox::No)
        << feeWarning << QByteArray() << QStringList{"1010", "0", "10"};
    QTest::newRow("purchase above the cash refused")
        << QStringList{"Bought", "10", "100", "10", "1009.99", "0"} << 0 << refusal << QByteArray()
        << QStringList{"1009.99", "0", "10"};
    QTest::newRow("sale above the stock value")
        << QStringList{"Sold", "4", "100", "10", "0", "250"} << 0 << QString()
        << QByteArray("Sell\t4\tMSFT\t100\t10\t390\t") << QStringList{"390", "0", "6"};
    QTest::newRow("credit of 100 on 50")
        << QStringList{"Credit", "", "100", "", "50", "7"} << 0 << QString()
        << QByteArray("Credit\t1\tCREDIT\t100\t0.00\t100\t") << QStringList{"150", "7", "10"};
    QTest::newRow("debit with no cash")
        << QStringList{"Debit", "", "100", "2", "0", "7"} << 0 << QString()
        << QByteArray("Debit\t1\tDEBIT\t100\t2\t-102\t") << QStringList{"0", "7", "10"};
    QTest::newRow("separators read, empty fee written 0")
        << QStringList{"Bought", "1", "10", "", "5,000", "1,234.50"} << 0 << QString()
        << QByteArray("Buy\t1\tMSFT\t10\t0\t-10\t") << QStringList{"4990", "1244.5", "11"};
}

void TestTradeTracker::transactions()
{
    QFETCH(QStringList, input);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(QByteArray, logged);
    QFETCH(QStringList, after);
    if (answer)
        m_platform.messageBox.answers.push_back(answer);
    ui->txtCash->setText(input[4]);
    ui->txtValue->setText(input[5]);
    record(input[0], input[1], QStringLiteral("msft"), input[2], input[3]);

    const QByteArray log = logBytes();
    QVERIFY2(logged.isEmpty() ? log.isEmpty() : log.split('\n').value(1).startsWith(logged),
             log.constData());
    QCOMPARE(m_platform.messageBox.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        const auto &shown = m_platform.messageBox.shown[0];
        QCOMPARE(shown.title, QStringLiteral("Vantora Transaction Error - Insufficient Funds"));
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.icon,
                 answer ? MessageBoxService::Icon::Information : MessageBoxService::Icon::Warning);
        QCOMPARE(shown.buttons,
                 answer ? int(QMessageBox::Yes | QMessageBox::No) : int(QMessageBox::Ok));
    }
    QCOMPARE(
        (QStringList{ui->txtCash->text(), ui->txtValue->text(), ui->gridSymbols->textMatrix(1, 1)}),
        after);
}

void TestTradeTracker::shortLinesAreNotShown()
{
    QDir().mkpath(TradeTracker::logFolder());
    QFile file(tracker().logPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Desc.\r\nab\r\n\r\nBuy\t1\r\nxyz\r\n");
    file.close();
    tracker().ReadTradeLog();
    QCOMPARE(ui->txtTransactionLog->toPlainText(), QStringLiteral("\nDesc.\nBuy\t1\nxyz"));
    QVERIFY(ui->cmdPrint->isEnabled());
    QVERIFY(!ui->cmdLogTransaction->isEnabled());
}

void TestTradeTracker::printsTheLogWithShortHeadings()
{
    ui->txtCash->setText(QStringLiteral("100"));
    record(QStringLiteral("Credit"), {}, {}, QStringLiteral("25"), {});
    QTemporaryDir dir;
    m_platform.printer.outputFile = dir.filePath(QStringLiteral("log.pdf"));
    ui->cmdPrint->click();
    QCOMPARE(m_platform.dialogs.printDialogs, 1);
    QVERIFY(!ui->cmdAbortPrint->isEnabled());

    QProcess pdftotext;
    pdftotext.start(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), m_platform.printer.outputFile, QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(), "pdftotext (poppler-utils) is needed");
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains(QLatin1String("Qty")) && text.contains(QLatin1String("Sym")) &&
                 text.contains(QLatin1String("CREDIT")),
             qPrintable(text));
    QVERIFY(!text.contains(QLatin1String("Quantity")) && !text.contains(QLatin1String("Security")));

    // A cancelled print dialog prints nothing.
    QFile::remove(m_platform.printer.outputFile);
    m_platform.dialogs.printAccepted = false;
    ui->cmdPrint->click();
    QVERIFY(!QFile::exists(m_platform.printer.outputFile));
    m_platform.dialogs.printAccepted = true;
}

QTEST_MAIN(TestTradeTracker)
#include "tst_tradetracker.moc"
