#include "app/StockMain.h"
#include "common/MainState.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "feed/ScriptedSource.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteLog.h"
#include "options/frmOptions.h"
#include "platform/ProgramFolder.h"
#include "quotes/QuoteDownload.h"
#include "settings/SettingsStore.h"
#include "support/QuoteAnswers.h"
#include "support/TestDoubles.h"
#include "window/frmStockMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QDate kJan15(2003, 1, 15);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QString kHeading = QStringLiteral(
    "Date\tSymbol\tPre Close\tEPS\tTime\tLast\tChange\tPercent\tPortfolio Value\tGain / Loss "
    "Today\r\n");
const QString kMsftLine = QStringLiteral(
    "MSFT\t10.00\t1.25\t3:17pm\t57.67\t+0.50\t+5.00%\t25042156\t9.80\t9.50\t11.00\t8.00\tMicrosoft "
    "Corp");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// Every file under a folder, as paths relative to it.
QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Remembers the folder the open dialog starts in.
class RecordingDialogs : public FakeDialogs
{
public:
    QStringList folders;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override
    {
        folders << folder;
        return FakeDialogs::openFileName(parent, title, folder, filter);
    }
};

} // namespace

class TestQuoteLog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void headingAloneThenDataLines();
    void newMonthStartsANewFile();
    void perSymbolFileName();
    void realTimeHeading();
    void shortLineIsPaddedToSevenFields();
    void singleByteText();
    void hostileSymbolStaysInTheFolder_data();
    void hostileSymbolStaysInTheFolder();
    void unwritableLogIsReported_data();
    void unwritableLogIsReported();
    void editLogOpensTheChosenFile();
    void editLogCancelled();
    void downloadsWriteExactLogs();

private:
    QString logPath(const QString &name) const { return QuoteLog::logFolder() + u'/' + name; }
    void setSeparate(bool on)
    {
        m_options->findChild<QCheckBox *>(QStringLiteral("chkSeparateLogFiles"))->setChecked(on);
    }
    void setFrontPanel(const QString &value, const QString &today)
    {
        m_form->findChild<QLineEdit *>(QStringLiteral("txtPortfolioValue"))->setText(value);
        m_form->findChild<QLineEdit *>(QStringLiteral("txtPortfolioToday"))->setText(today);
    }

    std::unique_ptr<FakePlatform> m_platform;
    RecordingDialogs m_dialogs;
    MainState m_state;
    std::unique_ptr<frmStockMain> m_form;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<QuoteLog> m_log;
};

void TestQuoteLog::init()
{
    m_platform = std::make_unique<FakePlatform>();
    Platform services = Platform::instance();
    m_dialogs = RecordingDialogs();
    services.dialogs = &m_dialogs;
    Platform::install(services);

    QVERIFY(!qEnvironmentVariable("VANTORA_HOME").isEmpty());
    QDir(ProgramFolder::path()).removeRecursively();
    m_state = MainState();
    m_form = std::make_unique<frmStockMain>();
    m_options = std::make_unique<frmOptions>();
    m_log = std::make_unique<QuoteLog>(m_state, *m_form, m_options->view());
    m_log->setToday([] { return kJan15; });
    m_log->setLocale(kEnglish);
    m_state.CurrentLine = kMsftLine;
    m_state.RowSymbol = QStringLiteral("MSFT");
    setFrontPanel(QStringLiteral("1,234.50"), QStringLiteral("+2.20"));
}

void TestQuoteLog::cleanup()
{
    m_log.reset();
    m_options.reset();
    m_form.reset();
    m_platform.reset();
}

void TestQuoteLog::headingAloneThenDataLines()
{
    QVERIFY(!QFileInfo::exists(QuoteLog::logFolder()));
    m_log->LogQuote();
    // The folder is made, and the new file gets its heading and nothing else.
    QCOMPARE(filesUnder(QuoteLog::logFolder()), QStringList{QStringLiteral("Jan2003.txt")});
    QCOMPARE(readAll(logPath(QStringLiteral("Jan2003.txt"))), kHeading.toLatin1());

    m_log->LogQuote();
    setFrontPanel(QStringLiteral("0"), QStringLiteral("0"));
    m_state.CurrentLine.replace(QStringLiteral("57.67"), QStringLiteral("57.70"));
    m_log->LogQuote();
    QCOMPARE(readAll(logPath(QStringLiteral("Jan2003.txt"))),
             kHeading.toLatin1() +
                 "1/15/03\tMSFT\t10.00\t1.25\t3:17pm\t57.67\t+0.50\t+5.00%\t1,234.50\t+2.20\r\n"
                 "1/15/03\tMSFT\t10.00\t1.25\t3:17pm\t57.70\t+0.50\t+5.00%\t0\t0\r\n");
    QVERIFY(m_platform->messageBox.shown.isEmpty());
}

void TestQuoteLog::newMonthStartsANewFile()
{
    m_log->LogQuote();
    m_log->LogQuote();
    m_log->setToday([] { return QDate(2003, 2, 1); });
    m_log->LogQuote();
    QCOMPARE(readAll(logPath(QStringLiteral("Feb2003.txt"))), kHeading.toLatin1());
    m_log->LogQuote();
    QVERIFY(
        readAll(logPath(QStringLiteral("Feb2003.txt")))
            .endsWith("\r\n2/1/"
                      "03\tMSFT\t10.00\t1.25\t3:17pm\t57.67\t+0.50\t+5.00%\t1,234.50\t+2.20\r\n"));
    // January's file is left as it was.
    QCOMPARE(readAll(logPath(QStringLiteral("Jan2003.txt"))).count("\r\n"), 2);
}

void TestQuoteLog::perSymbolFileName()
{
    QCOMPARE(QuoteLog::logFileName(QStringLiteral("Jan2003"), QStringLiteral("MSFT"), true),
             QStringLiteral("MSFT Jan2003.txt"));
    QCOMPARE(QuoteLog::logFileName(QStringLiteral("Jan2003"), QStringLiteral("MSFT"), false),
             QStringLiteral("Jan2003.txt"));

    setSeparate(true);
    m_log->LogQuote();
    m_state.RowSymbol = QStringLiteral("IBM");
    m_log->LogQuote();
    QCOMPARE(filesUnder(QuoteLog::logFolder()),
             (QStringList{QStringLiteral("IBM Jan2003.txt"), QStringLiteral("MSFT Jan2003.txt")}));
}

void TestQuoteLog::realTimeHeading()
{
    m_state.RealTimeMode = true;
    m_log->LogQuote();
    QCOMPARE(readAll(logPath(QStringLiteral("Jan2003.txt"))),
             QByteArray("Date\tSymbol\tBid\tAsk\tTime\tLast\tChange\tPercent\tPortfolio "
                        "Value\tGain / Loss Today\r\n"));
}

void TestQuoteLog::shortLineIsPaddedToSevenFields()
{
    m_log->LogQuote();
    m_state.CurrentLine = QStringLiteral("MSFT");
    m_log->LogQuote();
    QVERIFY(readAll(logPath(QStringLiteral("Jan2003.txt")))
                .endsWith("\r\n1/15/03\tMSFT\t\t\t\t\t\t\t1,234.50\t+2.20\r\n"));
}

void TestQuoteLog::singleByteText()
{
    m_log->LogQuote();
    m_state.CurrentLine = QStringLiteral("MSFT\t10\t1\t3:17pm \u00e9t\u00e9\t5\u20ac\t+1\t+1%");
    m_log->LogQuote();
    // Latin-1: one byte per character, "?" for what it cannot hold.
    QVERIFY(readAll(logPath(QStringLiteral("Jan2003.txt")))
                .endsWith("\t3:17pm \xe9t\xe9\t5?\t+1\t+1%\t1,234.50\t+2.20\r\n"));
}

void TestQuoteLog::hostileSymbolStaysInTheFolder_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::newRow("parent folders") << QStringLiteral("../../x");
    QTest::newRow("subfolder") << QStringLiteral("a/b");
    QTest::newRow("backslash") << QStringLiteral("..\\..\\x");
    QTest::newRow("control character") << QStringLiteral("MS\nFT\x01");
    QTest::newRow("dots only") << QStringLiteral("..");
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd");
    QTest::newRow("drive") << QStringLiteral("C:x");
    QTest::newRow("very long") << QString(5000, u'A');
    QTest::newRow("nul") << QString::fromUtf16(u"A\u0000B", 3);
}

void TestQuoteLog::hostileSymbolStaysInTheFolder()
{
    QFETCH(QString, symbol);
    setSeparate(true);
    m_state.RowSymbol = symbol;
    m_log->LogQuote();
    m_log->LogQuote();

    QVERIFY(m_platform->messageBox.shown.isEmpty());
    // One file, directly in the log folder, and nothing else in the program's folder.
    const QStringList all = filesUnder(ProgramFolder::path());
    QCOMPARE(all.size(), 1);
    QVERIFY(all.at(0).startsWith(QStringLiteral("Log Files/")));
    const QString name = all.at(0).mid(int(qstrlen("Log Files/")));
    QVERIFY(name.endsWith(QStringLiteral(" Jan2003.txt")));
    QVERIFY(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':'));
    QVERIFY(!name.contains(QStringLiteral("..")));
    for (QChar ch : name)
        QVERIFY(ch.unicode() >= 0x20 && ch.unicode() != 0x7F);
    QCOMPARE(readAll(logPath(name)).count("\r\n"), 2);
}

void TestQuoteLog::unwritableLogIsReported_data()
{
    QTest::addColumn<bool>("folderIsAFile");
    QTest::newRow("folder cannot be made") << true;
    QTest::newRow("file cannot be opened") << false;
}

void TestQuoteLog::unwritableLogIsReported()
{
    QFETCH(bool, folderIsAFile);
    if (folderIsAFile) {
        QFile blocker(QuoteLog::logFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(logPath(QStringLiteral("Jan2003.txt"))));
    }
    m_log->LogQuote(); // reported, not thrown
    m_log->LogQuote(); // once, not at every logged quote
    QCOMPARE(m_platform->messageBox.shown.size(), 1);
    const auto &box = m_platform->messageBox.shown.at(0);
    QCOMPARE(box.title, QStringLiteral("Vantora Critical Error"));
    QVERIFY(box.text.contains(QStringLiteral("Log Files")));

    // Tried again at the next quote: written once the file can be made.
    QVERIFY(folderIsAFile ? QFile::remove(QuoteLog::logFolder())
                          : QDir(logPath(QStringLiteral("Jan2003.txt"))).removeRecursively());
    m_log->LogQuote();
    QVERIFY(QFileInfo(logPath(QStringLiteral("Jan2003.txt"))).isFile());
}

void TestQuoteLog::editLogOpensTheChosenFile()
{
    const QString chosen = logPath(QStringLiteral("MSFT Jan2003.txt"));
    m_dialogs.fileNames.push_back(chosen);
    m_log->cmdEditQuoteLog_Click();
    QCOMPARE(m_dialogs.openTitles, QStringList{QStringLiteral("Open Stock Quote Log File")});
    QCOMPARE(m_dialogs.openFilters,
             QStringList{QStringLiteral("Log Files (*.txt);;All Files (*.*)")});
    QCOMPARE(m_dialogs.folders, QStringList{QuoteLog::logFolder() + u'/'});
    QCOMPARE(m_platform->programs.editedFiles, QStringList{chosen});
}

void TestQuoteLog::editLogCancelled()
{
    m_log->cmdEditQuoteLog_Click();
    QCOMPARE(m_dialogs.openTitles.size(), 1);
    QVERIFY(m_platform->programs.editedFiles.isEmpty());
    QVERIFY(m_platform->messageBox.shown.isEmpty());
}

// Two downloads from the quote service with logging on: per-symbol logs whose lines carry
// the portfolio value and gain of the download before. The Options button opens a log.
void TestQuoteLog::downloadsWriteExactLogs()
{
    auto source = std::make_shared<ScriptedSource>(std::make_shared<MarketSource>(3));
    QuoteFeed feed(source);
    QVERIFY(feed.start(QHostAddress::LocalHost, 0) != 0);
    SettingsStore::clearAll();
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("StockURL"),
                         feed.baseUrl() +
                             QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s="));
    SettingsStore::sync();
    // No agreement recorded: nothing is downloaded until the test asks for it.
    StockMain main;
    main.Form_Load();
    frmOptions *options = main.options();
    for (QCheckBox *box : options->chkIndex)
        box->setChecked(false);
    main.quoteDownload().quoteLog().setToday([] { return kJan15; });
    main.quoteDownload().quoteLog().setLocale(kEnglish);
    options->findChild<QCheckBox *>(QStringLiteral("chkLogging"))->setChecked(true);
    options->findChild<QCheckBox *>(QStringLiteral("chkSeparateLogFiles"))->setChecked(true);
    options->findChild<QCheckBox *>(QStringLiteral("chkShow"))->setChecked(true);

    auto *list = options->findChild<FlexGrid *>(QStringLiteral("gridSymbols"));
    list->setRows(1);
    list->addItem(QStringLiteral("MSFT\t10\t0.00\t0.00"));
    list->addItem(QStringLiteral("IBM\t5\t0.00\t0.00"));
    list->addItem(QStringLiteral("DELL\t1\t0.00\t0.00"));
    const QPixmap ticked = ImageList::instance().image(ImageList::BoxTicked);
    list->setCellPicture(1, 4, ticked);
    list->setCellPicture(2, 4, ticked);
    list->setCellPicture(3, 4, ImageList::instance().image(ImageList::BoxEmpty));

    source->enqueue(FeedReply::text(quoteLine("MSFT", "57.67", "57.00") +
                                    quoteLine("IBM", "80.00", "81.00") +
                                    quoteLine("DELL", "20", "20")));
    source->enqueue(FeedReply::text(quoteLine("MSFT", "58.00", "57.00") +
                                    quoteLine("IBM", "79.50", "81.00") +
                                    quoteLine("DELL", "23", "20")));
    main.GetQuotes();
    // First download: value 576.70 + 400.00 + 20.00, opened at 570.00 + 405.00 + 20.00.
    auto *value = main.form()->findChild<QLineEdit *>(QStringLiteral("txtPortfolioValue"));
    auto *today = main.form()->findChild<QLineEdit *>(QStringLiteral("txtPortfolioToday"));
    QCOMPARE(value->text(), QStringLiteral("996.70"));
    QCOMPARE(today->text(), QStringLiteral("+1.70"));
    main.GetQuotes();
    QCOMPARE(value->text(), QStringLiteral("1,000.50"));
    QCOMPARE(today->text(), QStringLiteral("+5.50"));
    QCOMPARE(source->requests().size(), 2);

    const QByteArray heading = kHeading.toLatin1();
    QCOMPARE(filesUnder(QuoteLog::logFolder()),
             (QStringList{QStringLiteral("IBM Jan2003.txt"), QStringLiteral("MSFT Jan2003.txt")}));
    QCOMPARE(readAll(logPath(QStringLiteral("MSFT Jan2003.txt"))),
             heading +
                 "1/15/03\tMSFT\t10.00\t1.25\t3:17pm\t58.00\t+0.50\t+5.00%\t996.70\t+1.70\r\n");
    QCOMPARE(readAll(logPath(QStringLiteral("IBM Jan2003.txt"))),
             heading +
                 "1/15/03\tIBM\t10.00\t1.25\t3:17pm\t79.50\t+0.50\t+5.00%\t996.70\t+1.70\r\n");
    QVERIFY(m_platform->messageBox.shown.isEmpty());

    // "Read/Edit Log" of the Options window.
    m_dialogs.fileNames.push_back(logPath(QStringLiteral("IBM Jan2003.txt")));
    options->findChild<QPushButton *>(QStringLiteral("cmdEditQuoteLog"))->click();
    QCOMPARE(m_platform->programs.editedFiles,
             QStringList{logPath(QStringLiteral("IBM Jan2003.txt"))});
}

QTEST_MAIN(TestQuoteLog)
#include "tst_quotelog.moc"
