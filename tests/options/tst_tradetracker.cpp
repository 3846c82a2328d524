#include "support/MainHarness.h"

#include "app/OptionsWindow.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "grid/FlexGrid.h"
#include "options/TradeTracker.h"
#include "options/frmOptions.h"

#include <QtTest>
#include <QtWidgets>

class TestTradeTracker : public QObject
{
    Q_OBJECT

    FakePlatform m_platform;
    MainHarness m_harness;
    std::unique_ptr<StockMain> m_main;
    frmOptions *opt = nullptr;

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
        opt->cboBuySell()->setCurrentIndex(opt->cboBuySell()->findText(type));
        // Credits and debits fill and lock their own quantity and symbol.
        for (auto [box, text] : std::initializer_list<std::pair<QLineEdit *, QString>>{
                 {opt->txtBuySellShares(), shares},
                 {opt->txtBuySellSymbol(), symbol},
                 {opt->txtBuySellPrice(), price},
                 {opt->txtFee(), fee}})
            if (box->isEnabled())
                box->setText(text);
        opt->txtTracking()->setText(QStringLiteral("T-1"));
        opt->txtDate()->setText(QStringLiteral("12/7/26"));
        opt->txtTime()->setText(QStringLiteral("03:17 PM"));
        QVERIFY(opt->cmdLogTransaction()->isEnabled());
        opt->cmdLogTransaction()->click();
    }

    // The symbol list's shares of a symbol; empty when it is not listed.
    QString holding(const QString &symbol) const
    {
        for (int r = 1; r < opt->gridSymbols()->rows(); ++r)
            if (opt->gridSymbols()->textMatrix(r, 0) == symbol)
                return opt->gridSymbols()->textMatrix(r, 1);
        return {};
    }
private Q_SLOTS:
    void init()
    {
        MainHarness::freshStore();
        QDir(TradeTracker::logFolder()).removeRecursively();
        m_platform.messageBox.shown.clear();
        m_platform.messageBox.answers.clear();
        m_platform.programs.editedFiles.clear();
        m_platform.programs.result = true;
        m_platform.dialogs.printDialogs = 0;
        m_main = m_harness.start();
        // The ticker's passes (whose waits nest event loops for seconds) are not under test.
        m_main->timScroll().stop();
        opt = m_main->options();
        opt->gridSymbols()->setTextMatrix(1, 1, QStringLiteral("10")); // MSFT
        opt->txtFee()->setText(QStringLiteral("9.95"));                // the portfolio's fee
    }
    void cleanup() { m_main.reset(); }

    void firstTransactionWritesHeaderThenLine();
    void transactions_data();
    void transactions();
    void holdingsCashAndFeeSurviveARestart();
    void shortLinesAreNotShown();
    void printsOneTransactionPerLine_data();
    void printsOneTransactionPerLine();
    void openMakesTheMonthsLogFirst();
};

void TestTradeTracker::firstTransactionWritesHeaderThenLine()
{
    opt->txtCash()->setText(QStringLiteral("5000"));
    record(QStringLiteral("Bought"), QStringLiteral("5"), QStringLiteral("msft"),
           QStringLiteral("20.5"), QStringLiteral("9.99"));
    const QByteArray line = "Buy\t5\tMSFT\t20.5\t9.99\t-112.49\t12/7/26\t03:17 PM       T-1\r\n";
    const QByteArray header = "Desc.\tQuantity\tSecurity\tPrice\tFees\tNet $\tDate     \t"
                              "Time               Tracking No.\r\n";
    QCOMPARE(logBytes(), header + line);
    QVERIFY(tracker().logPath().endsWith(
        QStringLiteral("/Log Files/Default %1 TradeLog.txt").arg(MonthTag(QDate::currentDate()))));
    // Back to idle: the fee box shows the fee of the trade again, and the boxes wait for a type.
    QCOMPARE(opt->txtFee()->text(), QStringLiteral("9.99"));
    QCOMPARE(opt->cboBuySell()->currentIndex(), 0);
    QVERIFY(!opt->txtBuySellShares()->isEnabled());

    // The header is written once; the next line is appended.
    record(QStringLiteral("Sold"), QStringLiteral("1"), QStringLiteral("MSFT"),
           QStringLiteral("30"), QStringLiteral("0"));
    QVERIFY(logBytes().startsWith(QByteArray(header + line + "Sell\t1\tMSFT\t30\t0\t30\t")));
}

void TestTradeTracker::transactions_data()
{
    // type, shares, symbol, price, fee, cash, stock value
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("answer");        // to the fee warning, 0 when none is expected
    QTest::addColumn<QString>("message");   // "title: text" of the one message shown, its start
    QTest::addColumn<QByteArray>("logged"); // the line's start, empty when nothing is written
    // cash, stock value, holding, fee box (the fee put in for a trade stays for the next)
    QTest::addColumn<QStringList>("after");

    const QString funds = QString::fromLatin1(TradeTracker::FundsTitle) + QStringLiteral(": ");
    const QString refusal = funds + TradeTracker::RefusalText;
    const QString feeWarning = funds + TradeTracker::FeeWarningText;
    const QString entry = QString::fromLatin1(TradeTracker::EntryTitle) + QStringLiteral(": ");
    auto row = [](const char *name, QStringList input, int answer, QString message,
                  QByteArray logged, QStringList after) {
        QTest::newRow(name) << input << answer << message << logged << after;
    };
    row("purchase equal to the cash", {"Bought", "10", "msft", "100", "10", "1010", "0"},
        QMessageBox::Yes, feeWarning, "Buy\t10\tMSFT\t100\t10\t-1010\t",
        {"0.00", "1000.00", "20", "10.00"});
    row("purchase declined at the fee warning", {"Bought", "10", "MSFT", "100", "10", "1010", "0"},
        QMessageBox::No, feeWarning, {}, {"1010", "0", "10", "10.00"});
    row("purchase above the cash refused", {"Bought", "10", "MSFT", "100", "10", "1009.99", "0"}, 0,
        refusal, {}, {"1009.99", "0", "10", "10.00"});
    row("purchase of a symbol not listed adds its row",
        {"Bought", "10", "orcl", "30", "0", "1000.00", "1,330.20"}, 0, {},
        "Buy\t10\tORCL\t30\t0\t-300\t", {"700.00", "1630.20", "10", "0.00"});
    row("sale above the stock value", {"Sold", "4", "MSFT", "100", "10", "0", "250"}, 0, {},
        "Sell\t4\tMSFT\t100\t10\t390\t", {"390.00", "0.00", "6", "10.00"});
    row("sale of a symbol not listed", {"Sold", "5", "ORCL", "10", "0", "0", "100"}, 0, {},
        "Sell\t5\tORCL\t10\t0\t50\t", {"50.00", "50.00", "", "0.00"});
    row("credit of 100 on 50", {"Credit", "", "MSFT", "100", "", "50", "7"}, 0, {},
        "Credit\t1\tCREDIT\t100\t0.00\t100\t", {"150.00", "7", "10", "9.95"});
    row("debit with no cash", {"Debit", "", "MSFT", "100", "2", "0", "7"}, 0, {},
        "Debit\t1\tDEBIT\t100\t2\t-102\t", {"0", "7", "10", "9.95"});
    row("separators read, empty fee counts 0",
        {"Bought", "1", "MSFT", "10", "", "5,000", "1,234.50"}, 0, {},
        "Buy\t1\tMSFT\t10\t0.00\t-10\t", {"4990.00", "1244.50", "11", "0.00"});
    row("price followed by its currency", {"Bought", "2", "MSFT", "12.50 USD", "0", "100", "0"}, 0,
        {}, "Buy\t2\tMSFT\t12.50 USD\t0\t-25\t", {"75.00", "25.00", "12", "0.00"});
    row("price without a leading number", {"Bought", "2", "MSFT", "USD 12", "0", "100", "0"}, 0,
        entry + "The price \"USD 12\" does not start with an amount", {},
        {"100", "0", "10", "0.00"});
    row("cash that is not an amount", {"Bought", "1", "MSFT", "10", "0", "lots", "0"}, 0,
        entry + "The Available Cash box holds \"lots\"", {}, {"lots", "0", "10", "0.00"});
    row("fee that is not an amount", {"Sold", "1", "MSFT", "10", "ten", "100", "50"}, 0,
        entry + "The Broker's Fee box holds \"ten\"", {}, {"100", "50", "10", "ten"});
    row("symbol that cannot be listed", {"Bought", "1", "A,B", "10", "0", "100", "0"}, 0,
        entry + "The symbol \"A,B\" cannot be listed", {}, {"100", "0", "", "0.00"});
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
    opt->txtCash()->setText(input[5]);
    opt->txtValue()->setText(input[6]);
    record(input[0], input[1], input[2], input[3], input[4]);

    const QByteArray log = logBytes();
    QVERIFY2(logged.isEmpty() ? log.isEmpty() : log.split('\n').value(1).startsWith(logged),
             log.constData());
    QCOMPARE(m_platform.messageBox.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        const auto &shown = m_platform.messageBox.shown[0];
        QVERIFY2(QString(shown.title + QStringLiteral(": ") + shown.text).startsWith(message),
                 qPrintable(shown.title + QStringLiteral(": ") + shown.text));
        QCOMPARE(shown.buttons,
                 answer ? int(QMessageBox::Yes | QMessageBox::No) : int(QMessageBox::Ok));
    }
    const QString symbol = input[2].toUpper();
    QCOMPARE((QStringList{opt->txtCash()->text(), opt->txtValue()->text(), holding(symbol),
                          opt->txtFee()->text()}),
             after);
}

// A purchase through the window, then OK and a restart: the new row, the cash and the fee
// are all there again, and a second purchase still carries the fee.
void TestTradeTracker::holdingsCashAndFeeSurviveARestart()
{
    opt->txtCash()->setText(QStringLiteral("1000.00"));
    record(QStringLiteral("Bought"), QStringLiteral("10"), QStringLiteral("ORCL"),
           QStringLiteral("30"), QStringLiteral("9.95"));
    record(QStringLiteral("Bought"), QStringLiteral("1"), QStringLiteral("MSFT"),
           QStringLiteral("10"), opt->txtFee()->text());
    opt->cmdOK()->click();
    m_main.reset();
    m_main = m_harness.start();
    m_main->timScroll().stop();
    opt = m_main->options();
    QCOMPARE(holding(QStringLiteral("ORCL")), QStringLiteral("10"));
    QCOMPARE(holding(QStringLiteral("MSFT")), QStringLiteral("11"));
    QCOMPARE(opt->txtCash()->text(), QStringLiteral("670.10"));
    QCOMPARE(opt->txtFee()->text(), QStringLiteral("9.95"));
    QCOMPARE(MainHarness::portfolioKey(QStringLiteral("Default"), QStringLiteral("TradeFee")),
             QStringLiteral("9.95"));
}

void TestTradeTracker::shortLinesAreNotShown()
{
    QDir().mkpath(TradeTracker::logFolder());
    QFile file(tracker().logPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Desc.\r\nab\r\n\r\nBuy\t1\r\nxyz\r\n");
    file.close();
    tracker().ReadTradeLog();
    QCOMPARE(opt->txtTransactionLog()->toPlainText(), QStringLiteral("\nDesc.\nBuy\t1\nxyz"));
    QVERIFY(opt->cmdPrint()->isEnabled());
    QVERIFY(!opt->cmdLogTransaction()->isEnabled());
}

void TestTradeTracker::printsOneTransactionPerLine_data()
{
    QTest::addColumn<int>("dpi");
    for (int dpi : {300, 600, 1200})
        QTest::addRow("%d dpi", dpi) << dpi;
}

void TestTradeTracker::printsOneTransactionPerLine()
{
    QFETCH(int, dpi);
    opt->txtCash()->setText(QStringLiteral("5000"));
    record(QStringLiteral("Bought"), QStringLiteral("5"), QStringLiteral("MSFT"),
           QStringLiteral("20.5"), QStringLiteral("9.99"));
    record(QStringLiteral("Credit"), {}, {}, QStringLiteral("25"), {});
    QTemporaryDir dir;
    m_platform.printer.outputFile = dir.filePath(QStringLiteral("log.pdf"));
    m_platform.printer.resolution = dpi;
    opt->cmdPrint()->click();
    QCOMPARE(m_platform.dialogs.printDialogs, 1);
    QVERIFY(!opt->cmdAbortPrint()->isEnabled());
    QVERIFY(m_platform.messageBox.shown.isEmpty());

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("pdftotext (poppler-utils) is needed");
        QSKIP("pdftotext (poppler-utils) is not installed");
    }
    QProcess pdftotext;
    pdftotext.start(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), m_platform.printer.outputFile, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished() && pdftotext.exitCode() == 0);
    QStringList lines;
    for (const QString &line : QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\n'))
        if (!line.trimmed().isEmpty()) // the page break is a form feed of its own
            lines << line;
    // The short headings, then each transaction, each on one line with its fields in order.
    const QStringList expected = {
        QStringLiteral(
            R"(Desc\.\s+Qty\s+Sym\s+Price\s+Fees\s+Net \$\s+Date\s+Time\s+Tracking No\.)"),
        QStringLiteral(R"(Buy\s+5\s+MSFT\s+20\.5\s+9\.99\s+-112\.49\s+12/7/26\s+03:17 PM\s+T-1)"),
        QStringLiteral(R"(Credit\s+1\s+CREDIT\s+25\s+0\.00\s+25\s+12/7/26\s+03:17 PM\s+T-1)")};
    QVERIFY2(lines.size() == expected.size(), qPrintable(lines.join(u'\n')));
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(QRegularExpression(QLatin1Char('^') + expected[i] + QLatin1Char('$'))
                     .match(lines[i].trimmed())
                     .hasMatch(),
                 qPrintable(lines.join(u'\n')));
    // A table: the price column starts at the same place in every line.
    QCOMPARE(lines[1].indexOf(QLatin1String("20.5")), lines[0].indexOf(QLatin1String("Price")));
    QCOMPARE(lines[2].indexOf(QLatin1String("25")), lines[0].indexOf(QLatin1String("Price")));

    // A cancelled print dialog prints nothing; a print that cannot start says so.
    QFile::remove(m_platform.printer.outputFile);
    m_platform.dialogs.printAccepted = false;
    opt->cmdPrint()->click();
    QVERIFY(!QFile::exists(m_platform.printer.outputFile));
    m_platform.dialogs.printAccepted = true;
    m_platform.printer.outputFile = dir.filePath(QStringLiteral("no such folder/log.pdf"));
    opt->cmdPrint()->click();
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QCOMPARE(m_platform.messageBox.shown[0].title, QString(TradeTracker::PrintTitle));
    m_platform.printer.resolution = 0;
}

void TestTradeTracker::openMakesTheMonthsLogFirst()
{
    const QString path = tracker().logPath();
    opt->cmdOpen()->click();
    QCOMPARE(m_platform.programs.editedFiles, QStringList{path});
    QCOMPARE(logBytes(), TradeTracker::headerLine().toLatin1() + "\r\n");
    QVERIFY(opt->cmdDelLog()->isEnabled());

    // Nothing to open it with: the message says where the file is.
    m_platform.programs.result = false;
    opt->cmdOpen()->click();
    QCOMPARE(m_platform.messageBox.shown.size(), 1);
    QVERIFY(m_platform.messageBox.shown[0].text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(logBytes(), TradeTracker::headerLine().toLatin1() + "\r\n");
}

QTEST_MAIN(TestTradeTracker)
#include "tst_tradetracker.moc"
