#include "TradeTracker.h"

#include "SymbolListEditor.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "frmOptions.h"
#include "grid/QuoteLog.h"
#include "platform/ErrorReporter.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "settings/SettingsStore.h"
#include "ui_frmOptions.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextDocument>
#include <QTimer>

#include <optional>

namespace {

// Path/file access failure, the number a log that cannot be written is reported with.
constexpr int kFileAccessError = 75;

const QString kTab = QStringLiteral("\t");
const QString kLineEnd = QStringLiteral("\r\n");

[[noreturn]] void failLog(const QString &what, const QString &path, const QString &reason)
{
    throw RuntimeError(QStringLiteral("Vantora"), kFileAccessError,
                       what + QStringLiteral(" \"") + QDir::toNativeSeparators(path) +
                           QStringLiteral("\": ") + reason);
}

// The text without its thousands separators.
QString withoutGrouping(QString text)
{
    return text.remove(u',');
}

} // namespace

// What a transaction changes, worked out before anything is written.
struct TradeTracker::Transaction
{
    QString type;
    QString monthTag;
    Money net;
    std::optional<Money> cash;
    std::optional<Money> value;
};

TradeTracker::TradeTracker(MainState &state, frmOptions &options, SymbolListEditor &symbols,
                           PortfolioName portfolio)
    : m_state(state), m_options(options), m_symbols(symbols), m_portfolio(std::move(portfolio)),
      m_now([] { return QDateTime::currentDateTime(); }), m_locale(QLocale::system())
{
    connectControls();
}

TradeTracker::~TradeTracker() = default;

void TradeTracker::connectControls()
{
    auto *ui = m_options.ui;
    auto guarded = [this](void (TradeTracker::*handler)()) {
        return [this, handler] { guard([this, handler] { (this->*handler)(); }, &m_options); };
    };
    connect(ui->cboBuySell, &QComboBox::currentIndexChanged, this,
            guarded(&TradeTracker::cboBuySell_Click));
    connect(ui->cmdLogTransaction, &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdLogTransaction_Click));
    connect(ui->cmdOpen, &QAbstractButton::clicked, this, guarded(&TradeTracker::cmdOpen_Click));
    connect(ui->cmdDelLog, &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdDelLog_Click));
    // Printing ends quietly at its first failure, a cancelled dialog included.
    connect(ui->cmdPrint, &QAbstractButton::clicked, this,
            [this] { guardSilently([this] { cmdPrint_Click(); }); });
    connect(ui->cmdAbortPrint, &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdAbortPrint_Click));
    connect(ui->txtValue, &QLineEdit::textChanged, this, guarded(&TradeTracker::txtValue_Change));
    // Typing into the first three boxes makes the transaction ready to log, once a type
    // is chosen; emptying them after a transaction does not.
    for (QLineEdit *box : {ui->txtBuySellShares, ui->txtBuySellSymbol, ui->txtBuySellPrice})
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (m_options.ui->cboBuySell->currentIndex() > 0 && !m_recording)
                m_options.ui->cmdLogTransaction->setEnabled(true);
        });
    for (QLineEdit *box :
         {ui->txtBuySellShares, ui->txtBuySellSymbol, ui->txtBuySellPrice, ui->txtFee, ui->txtCash})
        box->installEventFilter(this);
}

QString TradeTracker::portfolio() const
{
    return m_portfolio ? m_portfolio() : m_state.CurrentPortfolio;
}

QString TradeTracker::logFolder()
{
    return ProgramFolder::path() + QStringLiteral("/Log Files");
}

QString TradeTracker::logFileName(const QString &portfolio, const QString &monthTag)
{
    return QuoteLog::safeSymbol(portfolio) + u' ' + monthTag + QStringLiteral(" TradeLog.txt");
}

QString TradeTracker::logPath() const
{
    return logFolder() + u'/' + logFileName(portfolio(), MonthTag(m_now().date(), m_locale));
}

QString TradeTracker::headerLine()
{
    return QStringLiteral("Desc.\tQuantity\tSecurity\tPrice\tFees\tNet $\tDate     \t"
                          "Time               Tracking No.");
}

Money TradeTracker::boxAmount(const QString &text)
{
    const QString plain = withoutGrouping(text);
    return IsNumeric(plain) ? Money::fromText(plain) : Money();
}

Money TradeTracker::readMoneyBox(QLineEdit *box)
{
    if (!IsNumeric(withoutGrouping(box->text())))
        box->setText(QStringLiteral("0"));
    return boxAmount(box->text());
}

void TradeTracker::cboBuySell_Click()
{
    auto *ui = m_options.ui;
    const QString type = ui->cboBuySell->currentText();
    if (ui->cboBuySell->currentIndex() <= 0)
        return; // "Select"
    ui->txtFee->setText(SettingsStore::read(SettingsStore::portfolioSection(portfolio()),
                                            QStringLiteral("TradeFee"), QStringLiteral("0")));
    const bool cashOnly = type == QLatin1String("Credit") || type == QLatin1String("Debit");
    if (cashOnly) {
        ui->txtBuySellShares->setText(QStringLiteral("1"));
        ui->txtBuySellSymbol->setText(type);
        ui->txtBuySellPrice->setText(QStringLiteral("Amt"));
        ui->txtFee->setText(QStringLiteral("0.00"));
    }
    ui->txtBuySellShares->setEnabled(!cashOnly);
    ui->txtBuySellSymbol->setEnabled(!cashOnly);
    ui->txtBuySellPrice->setEnabled(true);
    ui->txtFee->setEnabled(type != QLatin1String("Credit"));
    ui->txtTracking->setEnabled(true);
    ui->cmdLogTransaction->setEnabled(true);
}

bool TradeTracker::askFeeWarning(const char *text)
{
    const int answer = Platform::instance().messageBox->show(
        &m_options, QString::fromLatin1(FundsTitle),
        QString::fromLatin1(text) + u'\n' + QString::fromLatin1(AnywayText),
        MessageBoxService::Icon::Information, QMessageBox::Yes | QMessageBox::No);
    return answer == QMessageBox::Yes;
}

bool TradeTracker::prepare(Transaction &t)
{
    auto *ui = m_options.ui;
    const double quantity = Val(ui->txtBuySellShares->text());
    const Money price = boxAmount(ui->txtBuySellPrice->text());
    const Money gross = price.times(quantity);
    const Money fee = readMoneyBox(ui->txtFee);
    const Money cash = readMoneyBox(ui->txtCash);
    const Money zero;

    auto refuse = [this] {
        Platform::instance().messageBox->show(&m_options, QString::fromLatin1(FundsTitle),
                                              QString::fromLatin1(RefusalText),
                                              MessageBoxService::Icon::Warning, QMessageBox::Ok);
        return false;
    };

    if (t.type == QLatin1String("Bought") || t.type == QLatin1String("Debit")) {
        const bool debit = t.type == QLatin1String("Debit");
        TradeDescription = debit ? QStringLiteral("Debit") : QStringLiteral("Buy");
        const Money total = (debit ? price : gross) + fee;
        t.net = -total;
        // Without any cash recorded the account is not tracked: nothing to check or change.
        if (cash <= zero)
            return true;
        if (total > cash)
            return refuse();
        if (fee > cash - total && !askFeeWarning(debit ? DebitFeeWarningText : FeeWarningText))
            return false;
        t.cash = cash - total;
        if (!debit)
            t.value = readMoneyBox(ui->txtValue) + gross;
        return true;
    }
    if (t.type == QLatin1String("Credit")) {
        TradeDescription = QStringLiteral("Credit");
        t.net = price;
        t.cash = cash + price;
        return true;
    }
    if (t.type == QLatin1String("Sold")) {
        TradeDescription = QStringLiteral("Sell");
        t.net = gross - fee;
        t.cash = cash + t.net;
        const Money value = readMoneyBox(ui->txtValue) - gross;
        t.value = value < zero ? zero : value;
        return true;
    }
    return false;
}

void TradeTracker::writeLine(const Transaction &t)
{
    auto *ui = m_options.ui;
    const QString folder = logFolder();
    if (!QDir().mkpath(folder))
        failLog(QStringLiteral("Cannot create the log folder"), folder,
                QStringLiteral("the folder could not be made"));
    const QString path = folder + u'/' + logFileName(portfolio(), t.monthTag);
    // The name holds no separator; checked anyway, since the portfolio's name is typed.
    if (QFileInfo(path).absolutePath() != QFileInfo(folder).absoluteFilePath())
        failLog(QStringLiteral("Refused to write the trade log"), path,
                QStringLiteral("outside the log folder"));

    const bool isNew = !QFileInfo::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        failLog(QStringLiteral("Cannot open the trade log"), path, file.errorString());

    const QString line = TradeDescription + kTab + ui->txtBuySellShares->text() + kTab +
                         ui->txtBuySellSymbol->text() + kTab + ui->txtBuySellPrice->text() + kTab +
                         ui->txtFee->text() + kTab + t.net.toString() + kTab + ui->txtDate->text() +
                         kTab + ui->txtTime->text() + QStringLiteral("       ") +
                         ui->txtTracking->text();
    QStringEncoder encoder(QStringConverter::Latin1);
    const QByteArray bytes =
        encoder.encode((isNew ? headerLine() + kLineEnd : QString()) + line + kLineEnd);
    if (file.write(bytes) != bytes.size() || !file.flush())
        failLog(QStringLiteral("Cannot write the trade log"), path, file.errorString());
}

void TradeTracker::apply(const Transaction &t)
{
    auto *ui = m_options.ui;
    // The holdings: the symbol list row of the symbol gains or loses the quantity.
    const QString symbol = ui->txtBuySellSymbol->text();
    ui->txtSymbol->setText(symbol);
    m_symbols.AddSymbol = symbol.toUpper();
    m_symbols.RowText = symbol + kTab + ui->txtBuySellShares->text();
    if (t.type == QLatin1String("Bought") || t.type == QLatin1String("Sold"))
        m_symbols.AddSymbolRow();
    if (t.cash)
        ui->txtCash->setText(t.cash->toString());
    if (t.value)
        ui->txtValue->setText(t.value->toString());
}

void TradeTracker::resetEntry()
{
    auto *ui = m_options.ui;
    m_state.TradeLogging = false;
    ui->txtFee->clear();
    ui->cboBuySell->setCurrentIndex(0);
    m_recording = false;
}

void TradeTracker::cmdLogTransaction_Click()
{
    auto *ui = m_options.ui;
    Transaction t;
    t.type = ui->cboBuySell->currentText();
    t.monthTag = MonthTag(m_now().date(), m_locale);
    m_recording = true;
    // Whatever happens, the tracker goes back to idle; the boxes stay disabled until a type
    // is chosen again.
    const auto idle = qScopeGuard([this] { resetEntry(); });
    for (QWidget *w :
         {static_cast<QWidget *>(ui->txtBuySellShares),
          static_cast<QWidget *>(ui->txtBuySellSymbol), static_cast<QWidget *>(ui->txtBuySellPrice),
          static_cast<QWidget *>(ui->txtTracking), static_cast<QWidget *>(ui->cmdLogTransaction)})
        w->setEnabled(false);
    ui->txtBuySellSymbol->setText(ui->txtBuySellSymbol->text().toUpper());

    auto positive = [ui] {
        return Val(ui->txtBuySellShares->text()) > 0 &&
               boxAmount(ui->txtBuySellPrice->text()) > Money();
    };
    if (!positive())
        return;
    m_state.TradeLogging = true;
    if (!prepare(t) || !positive())
        return;
    // The line is written first: a log that cannot be written leaves the account and the
    // holdings as they were.
    writeLine(t);
    apply(t);
    ReadTradeLog();
    ui->txtBuySellShares->clear();
    ui->txtBuySellPrice->clear();
    ui->txtBuySellSymbol->clear();
    ui->txtTracking->clear();
}

void TradeTracker::ReadTradeLog()
{
    auto *ui = m_options.ui;
    ui->txtTransactionLog->clear();
    ui->cmdLogTransaction->setEnabled(false);
    QFile file(logPath());
    const bool exists = file.exists();
    if (exists) {
        if (!file.open(QIODevice::ReadOnly))
            failLog(QStringLiteral("Cannot read the trade log"), file.fileName(),
                    file.errorString());
        QStringDecoder decoder(QStringConverter::Latin1);
        const QString all = decoder.decode(file.readAll());
        QString shown;
        for (QStringView line : QStringView(all).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            // Blank and stray short lines are left out; the box starts with an empty line.
            if (line.size() > 2)
                shown += u'\n' + line.toString();
        }
        ui->txtTransactionLog->setPlainText(shown);
    }
    ui->cmdDelLog->setEnabled(exists);
    ui->cmdPrint->setEnabled(exists);
    ui->txtTransactionLog->setVisible(true);
}

void TradeTracker::cmdOpen_Click()
{
    Platform::instance().programs->openInTextEditor(logPath());
}

void TradeTracker::cmdDelLog_Click()
{
    auto *ui = m_options.ui;
    const QString path = logPath();
    if (!QFileInfo::exists(path))
        return;
    const int answer = Platform::instance().messageBox->show(
        &m_options, QString::fromLatin1(DeleteTitle), QString::fromLatin1(DeleteText),
        MessageBoxService::Icon::NoIcon, QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    if (!QFile::remove(path))
        failLog(QStringLiteral("Cannot delete the trade log"), path,
                QStringLiteral("the file could not be removed"));
    ui->txtTransactionLog->clear();
    ui->cmdPrint->setEnabled(false);
    ui->cmdDelLog->setEnabled(false);
}

void TradeTracker::cmdPrint_Click()
{
    if (m_printing)
        return; // already printing; the events let through while printing can bring us here
    auto *ui = m_options.ui;
    Platform &platform = Platform::instance();
    std::unique_ptr<QPrinter> printer = platform.printer->createPrinter();
    if (!printer || !platform.dialogs->print(&m_options, printer.get()))
        return;
    const int copies = qMax(1, printer->copyCount());
    printer->setCopyCount(1); // each copy is printed in turn

    m_printing = printer.get();
    m_abortRequested = false;
    const auto done = qScopeGuard([this, ui] {
        m_printing = nullptr;
        ui->cmdAbortPrint->setEnabled(false);
    });

    QString text = ui->txtTransactionLog->toPlainText();
    text.replace(QLatin1String("Buy/Sell"), QLatin1String("B/S"));
    text.replace(QLatin1String("Quantity"), QLatin1String("Qty"));
    text.replace(QLatin1String("Security"), QLatin1String("Sym"));

    QTextDocument document;
    document.documentLayout()->setPaintDevice(printer.get());
    const QFont font(QStringLiteral("Arial"), 12);
    document.setDefaultFont(font);
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(QFontMetricsF(font, printer.get()).horizontalAdvance(u'0') * 10);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    document.setPageSize(page.size());

    QPainter painter;
    if (!painter.begin(printer.get()))
        throw RuntimeError(QStringLiteral("cmdPrint_Click"), 482, QStringLiteral("Printer error"));
    for (int copy = 0; copy < copies && !m_abortRequested; ++copy) {
        ui->cmdAbortPrint->setEnabled(true);
        for (int p = 0; p < document.pageCount() && !m_abortRequested; ++p) {
            if (copy > 0 || p > 0)
                printer->newPage();
            painter.save();
            painter.translate(0, -p * page.height());
            document.drawContents(&painter,
                                  QRectF(0, p * page.height(), page.width(), page.height()));
            painter.restore();
            // Lets the Cancel-printing button through between pages.
            QCoreApplication::processEvents();
        }
    }
    painter.end();
}

void TradeTracker::cmdAbortPrint_Click()
{
    if (m_printing) {
        m_abortRequested = true;
        m_printing->abort();
    }
    m_options.ui->cmdAbortPrint->setEnabled(false);
}

void TradeTracker::txtValue_Change()
{
    // A transaction's own update of the stock value does not start the next one.
    if (m_recording)
        return;
    if (boxAmount(m_options.ui->txtValue->text()) <= Money())
        m_options.ui->cboBuySell->setCurrentIndex(
            m_options.ui->cboBuySell->findText(QStringLiteral("Bought")));
}

bool TradeTracker::eventFilter(QObject *watched, QEvent *event)
{
    auto *ui = m_options.ui;
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn && box != ui->txtCash) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (event->type() == QEvent::FocusOut) {
        const char16_t *pattern = nullptr;
        if (box == ui->txtBuySellShares)
            pattern = u"######0";
        else if (box == ui->txtBuySellPrice)
            pattern = u"##0.00";
        else if (box == ui->txtFee)
            pattern = u"###0.00";
        else if (box == ui->txtCash)
            pattern = u"######0.00";
        if (pattern)
            box->setText(FormatIfNumeric(box->text(), pattern));
    }
    return QObject::eventFilter(watched, event);
}
