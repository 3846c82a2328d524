#include "TradeTracker.h"

#include "SymbolListEditor.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "common/Symbols.h"
#include "frmOptions.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteLog.h"
#include "platform/ErrorReporter.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <optional>

namespace {

const QString kTab = QStringLiteral("\t");
const QString kLineEnd = QStringLiteral("\r\n");

[[noreturn]] void failLog(const QString &what, const QString &path, const QString &reason)
{
    throw RuntimeError(QStringLiteral("Vantora"), RuntimeError::PathFileAccess,
                       what + QStringLiteral(" \"") + QDir::toNativeSeparators(path) +
                           QStringLiteral("\": ") + reason);
}

// The text without its thousands separators.
QString withoutGrouping(QString text)
{
    return text.remove(u',');
}

// The amount in a money box: an empty box is 0, a box holding anything but one amount
// has none.
std::optional<Money> moneyBoxAmount(const QString &text)
{
    const QString plain = withoutGrouping(text);
    if (plain.trimmed().isEmpty())
        return Money();
    if (!IsNumeric(plain))
        return std::nullopt;
    return Money::fromText(plain);
}

// The number a quantity or price box starts with ("12.50 USD" is 12.5).
Money leadingAmount(const QString &text)
{
    return Money::fromText(withoutGrouping(text));
}

double leadingQuantity(const QString &text)
{
    return Val(withoutGrouping(text));
}

QString cashText(Money amount)
{
    return Format(amount.toDouble(), u"######0.00");
}

bool isTrade(const QString &type)
{
    return type == QLatin1String("Bought") || type == QLatin1String("Sold");
}

// The printed table: the log's tab-separated fields in columns; the last field, the time
// followed by blanks and the tracking number, is two columns.
QList<QStringList> tableRows(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    QList<QStringList> rows;
    for (const QString &line : text.split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QStringList fields = line.split(u'\t');
        if (fields.size() == 8) {
            const QString last = fields.takeLast();
            const QRegularExpressionMatch gap = blanks.match(last);
            fields << (gap.hasMatch() ? last.left(gap.capturedStart()) : last);
            fields << (gap.hasMatch() ? last.mid(gap.capturedEnd()) : QString());
        }
        for (QString &field : fields)
            field = field.trimmed();
        rows << fields;
    }
    return rows;
}

// Where each column starts, in the printer's units, and the width of the whole table.
struct ColumnStops
{
    QList<qreal> stops;
    qreal width = 0;
};

ColumnStops columnStops(const QList<QStringList> &rows, const QFont &font, QPaintDevice *device)
{
    const QFontMetricsF metrics(font, device);
    QList<qreal> widths;
    for (const QStringList &row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = qMax(widths[i], metrics.horizontalAdvance(row[i]));
    }
    const qreal gap = metrics.horizontalAdvance(QStringLiteral("000"));
    ColumnStops result;
    qreal x = 0;
    for (qreal w : widths) {
        result.stops << x;
        result.width = x + w;
        x += w + gap;
    }
    return result;
}

} // namespace

// What a transaction changes, worked out before anything is written.
struct TradeTracker::Transaction
{
    QString type;
    QString monthTag;
    QString path;
    double quantity = 0;
    Money price;
    Money fee;
    Money cash;
    Money value;
    Money net;
    std::optional<Money> newCash;
    std::optional<Money> newValue;
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
    frmOptions *opt = &m_options;
    auto guarded = [this](void (TradeTracker::*handler)()) {
        return [this, handler] { guard([this, handler] { (this->*handler)(); }, &m_options); };
    };
    connect(opt->cboBuySell(), &QComboBox::currentIndexChanged, this,
            guarded(&TradeTracker::cboBuySell_Click));
    connect(opt->cmdLogTransaction(), &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdLogTransaction_Click));
    connect(opt->cmdOpen(), &QAbstractButton::clicked, this, guarded(&TradeTracker::cmdOpen_Click));
    connect(opt->cmdDelLog(), &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdDelLog_Click));
    // A cancelled print dialog ends printing quietly; a print that cannot start says so.
    connect(opt->cmdPrint(), &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdPrint_Click));
    connect(opt->cmdAbortPrint(), &QAbstractButton::clicked, this,
            guarded(&TradeTracker::cmdAbortPrint_Click));
    connect(opt->txtValue(), &QLineEdit::textChanged, this,
            guarded(&TradeTracker::txtValue_Change));
    // Typing into the first three boxes makes the transaction ready to log, once a type
    // is chosen; emptying them after a transaction does not.
    for (QLineEdit *box :
         {opt->txtBuySellShares(), opt->txtBuySellSymbol(), opt->txtBuySellPrice()})
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (m_options.cboBuySell()->currentIndex() > 0 && !m_recording)
                m_options.cmdLogTransaction()->setEnabled(true);
        });
    // The fee put into the box for a purchase or a sale (or with no type chosen) is the fee
    // the portfolio keeps: the next trade starts with it and a save stores it. The fee of a
    // credit or a debit is that transaction's own, and so is what the tracker fills in.
    connect(opt->txtFee(), &QLineEdit::textChanged, this, [this](const QString &text) {
        const QString type = m_options.cboBuySell()->currentText();
        // An emptied box means no fee, never a fee setting of nothing.
        if (!m_fillingFee && type != QLatin1String("Credit") && type != QLatin1String("Debit"))
            m_options.model().TradeFee.set(text.trimmed().isEmpty() ? QStringLiteral("0") : text);
    });
    for (QLineEdit *box : {opt->txtBuySellShares(), opt->txtBuySellSymbol(), opt->txtBuySellPrice(),
                           opt->txtFee(), opt->txtCash()})
        box->installEventFilter(this);
}

QString TradeTracker::portfolio() const
{
    return m_portfolio ? m_portfolio() : m_state.CurrentPortfolio;
}

void TradeTracker::fillFee(const QString &text)
{
    m_fillingFee = true;
    m_options.txtFee()->setText(text);
    m_fillingFee = false;
}

void TradeTracker::showStandingFee()
{
    fillFee(FormatIfNumeric(m_options.model().TradeFee.value(), u"###0.00"));
}

void TradeTracker::tell(const QString &title, const QString &text)
{
    Platform::instance().messageBox->show(&m_options, title, text, MessageBoxService::Icon::Warning,
                                          QMessageBox::Ok);
}

QString TradeTracker::logFolder()
{
    return ProgramFolder::path() + QStringLiteral("/Log Files");
}

QString TradeTracker::logFileName(const QString &portfolio, const QString &monthTag)
{
    return QuoteLog::safeSymbol(portfolio) + u' ' + monthTag + QStringLiteral(" TradeLog.txt");
}

QString TradeTracker::logNameKey(const QString &portfolio)
{
    const QString name = QuoteLog::safeSymbol(portfolio);
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return name.toCaseFolded();
#else
    return name;
#endif
}

QString TradeTracker::logClaimedBy(const QStringList &listed, const QString &portfolio)
{
    qsizetype end = listed.indexOf(portfolio);
    if (end < 0)
        end = listed.size();
    const QString key = logNameKey(portfolio);
    for (qsizetype i = 0; i < end; ++i)
        if (listed[i] != portfolio && logNameKey(listed[i]) == key)
            return listed[i];
    return {};
}

QString TradeTracker::logPath() const
{
    return logFolder() + u'/' + logFileName(portfolio(), MonthTag(m_now().date(), m_locale));
}

// This month's log when it is the portfolio's own; empty (after saying why, with `tell`)
// when a portfolio listed before has the same file.
QString TradeTracker::ownLogPath(bool tellUser)
{
    QStringList listed;
    const QComboBox *list = m_options.cboPortfolio();
    for (int i = 0; i < list->count(); ++i)
        listed << list->itemText(i);
    const QString name = portfolio();
    const QString owner = logClaimedBy(listed, name);
    if (owner.isEmpty())
        return logPath();
    if (tellUser)
        tell(QString::fromLatin1(LogTitle),
             QStringLiteral("The portfolio \"%1\" keeps no trade log: its log file would be the "
                            "one of the portfolio \"%2\".\nTo record its trades, create a "
                            "portfolio with another name for them.")
                 .arg(name, owner));
    return {};
}

QString TradeTracker::headerLine()
{
    return QStringLiteral("Desc.\tQuantity\tSecurity\tPrice\tFees\tNet $\tDate     \t"
                          "Time               Tracking No.");
}

void TradeTracker::cboBuySell_Click()
{
    frmOptions *opt = &m_options;
    const QString type = opt->cboBuySell()->currentText();
    if (opt->cboBuySell()->currentIndex() <= 0)
        return; // "Select"
    showStandingFee();
    const bool cashOnly = !isTrade(type);
    if (cashOnly) {
        opt->txtBuySellShares()->setText(QStringLiteral("1"));
        opt->txtBuySellSymbol()->setText(type);
        opt->txtBuySellPrice()->setText(QStringLiteral("Amt"));
        fillFee(QStringLiteral("0.00"));
    }
    opt->txtBuySellShares()->setEnabled(!cashOnly);
    opt->txtBuySellSymbol()->setEnabled(!cashOnly);
    opt->txtBuySellPrice()->setEnabled(true);
    opt->txtFee()->setEnabled(type != QLatin1String("Credit"));
    opt->txtTracking()->setEnabled(true);
    opt->cmdLogTransaction()->setEnabled(true);
}

bool TradeTracker::askFeeWarning(const char *text)
{
    const int answer = Platform::instance().messageBox->show(
        &m_options, QString::fromLatin1(FundsTitle),
        QString::fromLatin1(text) + u'\n' + QString::fromLatin1(AnywayText),
        MessageBoxService::Icon::Information, QMessageBox::Yes | QMessageBox::No);
    return answer == QMessageBox::Yes;
}

// The entry itself: a positive quantity and price, a symbol that can be listed, money boxes
// that hold amounts. Says what is wrong, naming the box, and leaves every box as it is.
bool TradeTracker::checkEntry(Transaction &t)
{
    frmOptions *opt = &m_options;
    const QString entryTitle = QString::fromLatin1(EntryTitle);
    const QString nothing = QStringLiteral("\nNothing was recorded.");
    t.quantity = leadingQuantity(opt->txtBuySellShares()->text());
    t.price = leadingAmount(opt->txtBuySellPrice()->text());
    if (t.quantity <= 0) {
        tell(entryTitle, QStringLiteral("The quantity \"%1\" does not start with a number of "
                                        "shares above 0.")
                                 .arg(opt->txtBuySellShares()->text()) +
                             nothing);
        return false;
    }
    if (t.price <= Money()) {
        tell(entryTitle,
             QStringLiteral("The %1 \"%2\" does not start with an amount above 0.")
                     .arg(isTrade(t.type) ? QStringLiteral("price") : QStringLiteral("amount"),
                          opt->txtBuySellPrice()->text()) +
                 nothing);
        return false;
    }

    if (isTrade(t.type)) {
        const QString symbol = opt->txtBuySellSymbol()->text();
        const QString refusal = Symbols::refusal(symbol);
        if (!refusal.isEmpty()) {
            tell(entryTitle,
                 QStringLiteral("The symbol \"%1\" cannot be listed: %2.").arg(symbol, refusal) +
                     nothing);
            return false;
        }
        // A purchase of a symbol not listed adds its row; a full list has no room for it.
        const FlexGrid *grid = opt->gridSymbols();
        bool listed = false;
        for (int r = 1; r < grid->rows() && !listed; ++r)
            listed = grid->textMatrix(r, 0).isEmpty() ||
                     grid->textMatrix(r, 0) == symbol.trimmed().toUpper();
        if (t.type == QLatin1String("Bought") && !listed &&
            grid->rows() >= SymbolListEditor::MaxSymbols + 1) {
            tell(QStringLiteral("Symbol List Full"),
                 QStringLiteral("Symbol list full - Can't add any more symbols.") + nothing);
            return false;
        }
    }

    struct Box
    {
        QLineEdit *box;
        const char *name;
        Money *amount;
    };
    const Box boxes[] = {{opt->txtFee(), "Broker's Fee", &t.fee},
                         {opt->txtCash(), "Available Cash", &t.cash},
                         {opt->txtValue(), "Stock Value", &t.value}};
    for (const Box &b : boxes) {
        // The stock value counts only for purchases and sales.
        if (b.box == opt->txtValue() && !isTrade(t.type))
            continue;
        const std::optional<Money> amount = moneyBoxAmount(b.box->text());
        if (!amount) {
            tell(entryTitle, QStringLiteral("The %1 box holds \"%2\", which is not an amount.\n"
                                            "Please correct it and log the transaction again.")
                                     .arg(QString::fromLatin1(b.name), b.box->text()) +
                                 nothing);
            return false;
        }
        *b.amount = *amount;
        // An empty box is no figure of the user's: it shows the 0 it counts as.
        if (b.box->text().trimmed().isEmpty()) {
            m_fillingFee = true;
            b.box->setText(QStringLiteral("0.00"));
            m_fillingFee = false;
        }
    }
    return true;
}

bool TradeTracker::prepare(Transaction &t)
{
    const Money gross = t.price.times(t.quantity);
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
        const Money total = (debit ? t.price : gross) + t.fee;
        t.net = -total;
        // Without any cash recorded the account is not tracked: nothing to check or change.
        if (t.cash <= zero)
            return true;
        if (total > t.cash)
            return refuse();
        if (t.fee > t.cash - total && !askFeeWarning(debit ? DebitFeeWarningText : FeeWarningText))
            return false;
        t.newCash = t.cash - total;
        if (!debit)
            t.newValue = t.value + gross;
        return true;
    }
    if (t.type == QLatin1String("Credit")) {
        TradeDescription = QStringLiteral("Credit");
        t.net = t.price;
        t.newCash = t.cash + t.price;
        return true;
    }
    if (t.type == QLatin1String("Sold")) {
        TradeDescription = QStringLiteral("Sell");
        t.net = gross - t.fee;
        t.newCash = t.cash + t.net;
        const Money value = t.value - gross;
        t.newValue = value < zero ? zero : value;
        return true;
    }
    return false;
}

// Makes the log folder and, when the month has no log yet, the file with its header line.
void TradeTracker::ensureLogFile(const QString &path)
{
    const QString folder = logFolder();
    if (!QDir().mkpath(folder))
        failLog(QStringLiteral("Cannot create the log folder"), folder,
                QStringLiteral("the folder could not be made"));
    // The name holds no separator; checked anyway, since the portfolio's name is typed.
    if (QFileInfo(path).absolutePath() != QFileInfo(folder).absoluteFilePath())
        failLog(QStringLiteral("Refused to write the trade log"), path,
                QStringLiteral("outside the log folder"));
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    const QByteArray header = headerLine().toLatin1() + kLineEnd.toLatin1();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        failLog(QStringLiteral("Cannot open the trade log"), path, file.errorString());
    if (file.write(header) != header.size() || !file.flush())
        failLog(QStringLiteral("Cannot write the trade log"), path, file.errorString());
}

void TradeTracker::writeLine(const Transaction &t)
{
    frmOptions *opt = &m_options;
    ensureLogFile(t.path);
    QFile file(t.path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        failLog(QStringLiteral("Cannot open the trade log"), t.path, file.errorString());

    const QString line = TradeDescription + kTab + opt->txtBuySellShares()->text() + kTab +
                         opt->txtBuySellSymbol()->text() + kTab + opt->txtBuySellPrice()->text() +
                         kTab + opt->txtFee()->text() + kTab + t.net.toString() + kTab +
                         opt->txtDate()->text() + kTab + opt->txtTime()->text() +
                         QStringLiteral("       ") + opt->txtTracking()->text();
    QStringEncoder encoder(QStringConverter::Latin1);
    const QByteArray bytes = encoder.encode(line + kLineEnd);
    if (file.write(bytes) != bytes.size() || !file.flush())
        failLog(QStringLiteral("Cannot write the trade log"), t.path, file.errorString());
}

void TradeTracker::apply(const Transaction &t)
{
    frmOptions *opt = &m_options;
    // The holdings: the symbol list row of the symbol gains or loses the quantity; a
    // purchase of a symbol not listed adds its row.
    if (isTrade(t.type)) {
        const QString symbol = opt->txtBuySellSymbol()->text().trimmed();
        opt->txtSymbol()->setText(symbol);
        m_symbols.AddSymbol = symbol.toUpper();
        m_symbols.AddLogging = false;
        m_symbols.RowText = m_symbols.AddSymbol + kTab + Format(t.quantity, u"") + kTab +
                            QStringLiteral("0.00") + kTab + QStringLiteral("0.00");
        m_symbols.AddSymbolRow();
    }
    if (t.newCash)
        opt->txtCash()->setText(cashText(*t.newCash));
    if (t.newValue)
        opt->txtValue()->setText(cashText(*t.newValue));
}

void TradeTracker::resetEntry()
{
    frmOptions *opt = &m_options;
    m_state.TradeLogging = false;
    opt->cboBuySell()->setCurrentIndex(0);
    m_recording = false;
    // The fee box shows the portfolio's fee again, ready for the next transaction and for
    // the next save.
    showStandingFee();
}

void TradeTracker::cmdLogTransaction_Click()
{
    frmOptions *opt = &m_options;
    Transaction t;
    t.type = opt->cboBuySell()->currentText();
    t.monthTag = MonthTag(m_now().date(), m_locale);
    m_recording = true;
    // Whatever happens, the tracker goes back to idle; the boxes stay disabled until a type
    // is chosen again.
    const auto idle = qScopeGuard([this] { resetEntry(); });
    for (QWidget *w : {static_cast<QWidget *>(opt->txtBuySellShares()),
                       static_cast<QWidget *>(opt->txtBuySellSymbol()),
                       static_cast<QWidget *>(opt->txtBuySellPrice()),
                       static_cast<QWidget *>(opt->txtTracking()),
                       static_cast<QWidget *>(opt->cmdLogTransaction())})
        w->setEnabled(false);
    opt->txtBuySellSymbol()->setText(opt->txtBuySellSymbol()->text().toUpper());

    if (ownLogPath(true).isEmpty() || !checkEntry(t))
        return;
    t.path = logFolder() + u'/' + logFileName(portfolio(), t.monthTag);
    m_state.TradeLogging = true;
    if (!prepare(t))
        return;
    // The line is written first: a log that cannot be written leaves the account and the
    // holdings as they were.
    writeLine(t);
    apply(t);
    ReadTradeLog();
    opt->txtBuySellShares()->clear();
    opt->txtBuySellPrice()->clear();
    opt->txtBuySellSymbol()->clear();
    opt->txtTracking()->clear();
}

void TradeTracker::ReadTradeLog()
{
    frmOptions *opt = &m_options;
    opt->txtTransactionLog()->clear();
    opt->cmdLogTransaction()->setEnabled(false);
    const QString path = ownLogPath(false);
    QFile file(path);
    const bool exists = !path.isEmpty() && file.exists();
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
        opt->txtTransactionLog()->setPlainText(shown);
    }
    opt->cmdDelLog()->setEnabled(exists);
    opt->cmdPrint()->setEnabled(exists);
    opt->txtTransactionLog()->setVisible(true);
}

void TradeTracker::cmdOpen_Click()
{
    const QString path = ownLogPath(true);
    if (path.isEmpty())
        return;
    ensureLogFile(path);
    ReadTradeLog();
    if (!Platform::instance().programs->openInTextEditor(path))
        Platform::instance().messageBox->show(
            &m_options, QString::fromLatin1(LogTitle),
            QStringLiteral("No text editor could be started for the trade log. It is the file\n"
                           "%1")
                .arg(QDir::toNativeSeparators(path)),
            MessageBoxService::Icon::Information, QMessageBox::Ok);
}

void TradeTracker::cmdDelLog_Click()
{
    frmOptions *opt = &m_options;
    const QString path = ownLogPath(false);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    const int answer = Platform::instance().messageBox->show(
        &m_options, QString::fromLatin1(DeleteTitle), QString::fromLatin1(DeleteText),
        MessageBoxService::Icon::NoIcon, QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    if (!QFile::remove(path))
        failLog(QStringLiteral("Cannot delete the trade log"), path,
                QStringLiteral("the file could not be removed"));
    opt->txtTransactionLog()->clear();
    opt->cmdPrint()->setEnabled(false);
    opt->cmdDelLog()->setEnabled(false);
}

void TradeTracker::cmdPrint_Click()
{
    if (m_printing)
        return; // already printing; the events let through while printing can bring us here
    frmOptions *opt = &m_options;
    Platform &platform = Platform::instance();
    std::unique_ptr<QPrinter> printer = platform.printer->createPrinter();
    if (!printer)
        return;
    // Printed to a file, the log's own name is offered for it.
    printer->setDocName(QFileInfo(logPath()).completeBaseName());
    if (!platform.dialogs->print(&m_options, printer.get()))
        return;
    const int copies = qMax(1, printer->copyCount());
    printer->setCopyCount(1); // each copy is printed in turn

    QString text = opt->txtTransactionLog()->toPlainText();
    text.replace(QLatin1String("Buy/Sell"), QLatin1String("B/S"));
    text.replace(QLatin1String("Quantity"), QLatin1String("Qty"));
    text.replace(QLatin1String("Security"), QLatin1String("Sym"));
    const QList<QStringList> rows = tableRows(text);

    // The table in the printer's own units; a table wider than the page is printed in a
    // smaller font, so that every transaction stays on one line.
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    QFont font(QStringLiteral("Arial"), 12);
    ColumnStops columns = columnStops(rows, font, printer.get());
    for (int i = 0; i < 8 && columns.width > page.width() && font.pointSizeF() > 5; ++i) {
        font.setPointSizeF(qMax(5.0, font.pointSizeF() * page.width() / columns.width * 0.98));
        columns = columnStops(rows, font, printer.get());
    }

    m_printing = printer.get();
    m_abortRequested = false;
    const auto done = qScopeGuard([this, opt] {
        m_printing = nullptr;
        opt->cmdAbortPrint()->setEnabled(false);
    });
    QPainter painter;
    if (!painter.begin(printer.get())) {
        const QString where = printer->outputFileName().isEmpty() ? printer->printerName()
                                                                  : printer->outputFileName();
        tell(QString::fromLatin1(PrintTitle),
             QStringLiteral("Printing could not start on \"%1\".\nCheck the printer (or the "
                            "folder of the file printed to) and try again.")
                 .arg(QDir::toNativeSeparators(where)));
        return;
    }
    painter.setFont(font);
    const QFontMetricsF metrics(font, printer.get());
    for (int copy = 0; copy < copies && !m_abortRequested; ++copy) {
        opt->cmdAbortPrint()->setEnabled(true);
        if (copy > 0)
            printer->newPage();
        qreal baseline = metrics.ascent();
        for (const QStringList &row : rows) {
            if (m_abortRequested)
                break;
            if (baseline + metrics.descent() > page.height()) {
                printer->newPage();
                baseline = metrics.ascent();
                // Lets the Cancel-printing button through between pages.
                QCoreApplication::processEvents();
            }
            for (qsizetype i = 0; i < row.size(); ++i)
                painter.drawText(QPointF(columns.stops.value(i), baseline), row[i]);
            baseline += metrics.lineSpacing();
        }
        QCoreApplication::processEvents();
    }
    painter.end();
}

void TradeTracker::cmdAbortPrint_Click()
{
    if (m_printing) {
        m_abortRequested = true;
        m_printing->abort();
    }
    m_options.cmdAbortPrint()->setEnabled(false);
}

void TradeTracker::txtValue_Change()
{
    // A transaction's own update of the stock value does not start the next one.
    if (m_recording)
        return;
    if (moneyBoxAmount(m_options.txtValue()->text()).value_or(Money()) <= Money())
        m_options.cboBuySell()->setCurrentIndex(
            m_options.cboBuySell()->findText(QStringLiteral("Bought")));
}

bool TradeTracker::eventFilter(QObject *watched, QEvent *event)
{
    frmOptions *opt = &m_options;
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn && box != opt->txtCash()) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (event->type() == QEvent::FocusOut) {
        const char16_t *pattern = nullptr;
        if (box == opt->txtBuySellShares())
            pattern = u"######0";
        else if (box == opt->txtBuySellPrice())
            pattern = u"##0.00";
        else if (box == opt->txtFee())
            pattern = u"###0.00";
        else if (box == opt->txtCash())
            pattern = u"######0.00";
        if (pattern)
            box->setText(FormatIfNumeric(box->text(), pattern));
    }
    return QObject::eventFilter(watched, event);
}
