#include "SymbolListEditor.h"

#include "common/MainState.h"
#include "common/Numbers.h"
#include "common/Symbols.h"
#include "frmOptions.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "platform/ErrorReporter.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "ui_frmOptions.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

namespace {

QPixmap logPicture(bool logged)
{
    return ImageList::instance().image(logged ? ImageList::BoxTicked : ImageList::BoxEmpty);
}

// The number value of a text as plain decimal text ("" and "abc" give "0").
QString numberText(const QString &text)
{
    return Format(Val(text), u"");
}

} // namespace

SymbolListEditor::SymbolListEditor(MainState &state, frmOptions &options, Hooks hooks)
    : m_state(state), m_options(options), m_hooks(std::move(hooks))
{
    auto *ui = m_options.ui;
    auto guarded = [this](void (SymbolListEditor::*handler)()) {
        return [this, handler] { guard([this, handler] { (this->*handler)(); }, &m_options); };
    };
    connect(ui->cmdAdd, &QAbstractButton::clicked, this, guarded(&SymbolListEditor::cmdAdd_Click));
    connect(ui->cmdRemoveButton, &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdRemoveButton_Click));
    connect(ui->cmdMoveUp, &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdMoveUp_Click));
    connect(ui->cmdMoveDown, &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdMoveDown_Click));
    connect(ui->gridSymbols, &FlexGrid::click, this, guarded(&SymbolListEditor::gridSymbols_Click));
    // Only the user's typing resets the other boxes; the program's own setText (the
    // copy of a row) runs the same handler, as the row copy relies on.
    connect(ui->txtSymbol, &QLineEdit::textChanged, this,
            guarded(&SymbolListEditor::txtSymbol_Change));
    for (QLineEdit *box : {ui->txtSymbol, ui->txtShares, ui->txtLowAlert, ui->txtHighAlert})
        box->installEventFilter(this);
}

QString SymbolListEditor::alertText(const QString &text)
{
    return Format(Val(text), u"##0.00");
}

QString SymbolListEditor::sharesText(const QString &text)
{
    return Format(Val(text), u"######0");
}

bool SymbolListEditor::rowIsLogged(int row) const
{
    return m_options.ui->gridSymbols->cellPicture(row, 4).cacheKey() == logPicture(true).cacheKey();
}

void SymbolListEditor::clearEntryBoxes()
{
    auto *ui = m_options.ui;
    ui->txtSymbol->clear();
    ui->txtShares->clear();
    ui->txtLowAlert->clear();
    ui->txtHighAlert->clear();
    ui->chkLog->setChecked(false);
    ui->txtSymbol->setFocus();
}

void SymbolListEditor::cmdAdd_Click()
{
    auto *ui = m_options.ui;
    PlayClick();
    // A pasted "csco\t" or " ibm" is the symbol CSCO or IBM, not a new kind of row.
    if (ui->txtSymbol->text() != Symbols::clean(ui->txtSymbol->text()))
        ui->txtSymbol->setText(Symbols::clean(ui->txtSymbol->text()));
    if (ui->txtSymbol->text().isEmpty())
        return;
    const QString refusal = Symbols::refusal(ui->txtSymbol->text());
    if (!refusal.isEmpty()) {
        Platform::instance().messageBox->show(
            &m_options, QStringLiteral("Vantora Invalid Symbol"),
            QStringLiteral("The symbol \"%1\" cannot be asked for: %2.\r\n"
                           "Please correct it and press Add again.")
                .arg(ui->txtSymbol->text(), refusal),
            MessageBoxService::Icon::Warning, QMessageBox::Ok);
        ui->txtSymbol->setFocus();
        return;
    }
    AddSymbol = ui->txtSymbol->text().toUpper();
    AddLogging = ui->chkLog->isChecked();
    ui->txtLowAlert->setText(alertText(ui->txtLowAlert->text()));
    ui->txtHighAlert->setText(alertText(ui->txtHighAlert->text()));
    RowText = AddSymbol + QLatin1Char('\t') + ui->txtShares->text() + QLatin1Char('\t') +
              ui->txtLowAlert->text() + QLatin1Char('\t') + ui->txtHighAlert->text();
    AddSymbolRow();
    clearEntryBoxes();
    if (m_hooks.activeConnection && m_hooks.activeConnection() && m_hooks.requestQuotes)
        m_hooks.requestQuotes();
}

void SymbolListEditor::AddSymbolRow()
{
    auto *ui = m_options.ui;
    FlexGrid *grid = ui->gridSymbols;
    const QString wanted = ui->txtSymbol->text().toUpper();

    int found = -1;
    for (int r = 1; r < grid->rows(); ++r) {
        const QString symbol = grid->textMatrix(r, 0);
        if (symbol.isEmpty() || symbol == wanted) {
            found = r;
            break;
        }
    }

    if (found > 0) {
        if (m_state.TradeLogging) {
            const double held = Val(grid->textMatrix(found, 1));
            const double traded = Val(RowText.section(QLatin1Char('\t'), 1, 1));
            const QString type = ui->cboBuySell->currentText();
            if (type == QLatin1String("Bought"))
                ui->txtShares->setText(Format(held + traded, u""));
            else if (type == QLatin1String("Sold"))
                ui->txtShares->setText(Format(held - traded, u""));
        }
        grid->setTextMatrix(found, 1, numberText(ui->txtShares->text()));
        if (!m_state.TradeLogging) {
            if (Val(ui->txtLowAlert->text()) != Val(grid->textMatrix(found, 2)))
                grid->setTextMatrix(found, 2, alertText(ui->txtLowAlert->text()));
            if (Val(ui->txtHighAlert->text()) != Val(grid->textMatrix(found, 3)))
                grid->setTextMatrix(found, 3, alertText(ui->txtHighAlert->text()));
            grid->setCellPicture(found, 4, logPicture(AddLogging));
        }
    } else if (grid->rows() >= MaxSymbols + 1) {
        Platform::instance().messageBox->show(
            &m_options, QStringLiteral("Symbol List Full"),
            QStringLiteral("Symbol list full - Can't add any more symbols."),
            MessageBoxService::Icon::Warning, QMessageBox::Ok);
    } else if (!m_state.TradeLogging || ui->cboBuySell->currentText() == QLatin1String("Bought")) {
        // A purchase of a symbol not listed yet adds its row with the quantity bought.
        grid->addItem(RowText);
        grid->viewport()->update();
        grid->setCellPicture(grid->rows() - 1, 4, logPicture(AddLogging));
    }
    m_state.SelectedRow = 1;
}

void SymbolListEditor::cmdRemoveButton_Click()
{
    auto *ui = m_options.ui;
    FlexGrid *grid = ui->gridSymbols;
    PlayClick();
    const int row = grid->row();
    // Only the list in memory changes; the next save writes the rows left and deletes the
    // slots above them. Loading the portfolio before that gives back what is stored.
    if (row >= 1 && row < grid->rows())
        grid->removeItem(row);
    clearEntryBoxes();
    m_state.SelectedRow = 1;
    if (m_hooks.refreshQuoteGrid)
        m_hooks.refreshQuoteGrid();
}

void SymbolListEditor::cmdMoveUp_Click()
{
    FlexGrid *grid = m_options.ui->gridSymbols;
    const int row = grid->row();
    if (row >= 2 && row < grid->rows()) {
        grid->setRowPosition(row, row - 1);
        grid->setRow(row - 1);
        grid->selectRow(row - 1);
    }
    if (m_hooks.refreshQuoteGrid)
        m_hooks.refreshQuoteGrid();
}

void SymbolListEditor::cmdMoveDown_Click()
{
    FlexGrid *grid = m_options.ui->gridSymbols;
    const int row = grid->row();
    if (row >= 1 && row < grid->rows() - 1) {
        grid->setRowPosition(row, row + 1);
        grid->setRow(row + 1);
        grid->selectRow(row + 1);
    }
    if (m_hooks.refreshQuoteGrid)
        m_hooks.refreshQuoteGrid();
}

void SymbolListEditor::gridSymbols_Click()
{
    auto *ui = m_options.ui;
    FlexGrid *grid = ui->gridSymbols;
    const int mouseRow = grid->mouseRow();
    if (mouseRow >= 1 && grid->mouseCol() == 4) {
        grid->setRow(mouseRow);
        grid->setCol(4);
        grid->setCellPicture(mouseRow, 4, logPicture(!rowIsLogged(mouseRow)));
    }
    const int row = grid->row();
    if (row < 1 || row >= grid->rows())
        return;
    // The symbol first: changing it resets the other three boxes.
    ui->txtSymbol->setText(grid->textMatrix(row, 0));
    ui->txtShares->setText(grid->textMatrix(row, 1));
    ui->txtLowAlert->setText(grid->textMatrix(row, 2));
    ui->txtHighAlert->setText(grid->textMatrix(row, 3));
    ui->chkLog->setChecked(rowIsLogged(row));
}

void SymbolListEditor::txtSymbol_Change()
{
    auto *ui = m_options.ui;
    // With no symbol the boxes are emptied, so that each shows what goes in it again.
    const bool none = ui->txtSymbol->text().isEmpty();
    ui->txtShares->setText(none ? QString() : QStringLiteral("0"));
    ui->txtLowAlert->setText(none ? QString() : QStringLiteral("0.00"));
    ui->txtHighAlert->setText(none ? QString() : QStringLiteral("0.00"));
}

bool SymbolListEditor::txtSymbol_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_F2)
        return false;
    auto *ui = m_options.ui;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    if (shift && alt && !ctrl) {
        m_state.RealTimeMode = true;
        ui->txtSymbol->setText(QStringLiteral("Real-Time"));
    } else if (shift && ctrl && !alt) {
        m_state.RealTimeMode = false;
        ui->txtSymbol->setText(QStringLiteral("Delayed"));
    } else {
        ui->txtSymbol->clear();
        return true;
    }
    if (m_hooks.realTimeModeChanged)
        m_hooks.realTimeModeChanged();
    return true;
}

bool SymbolListEditor::isEntryBox(QObject *object) const
{
    auto *ui = m_options.ui;
    return object == ui->txtSymbol || object == ui->txtShares || object == ui->txtLowAlert ||
           object == ui->txtHighAlert;
}

bool SymbolListEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (!isEntryBox(watched))
        return QObject::eventFilter(watched, event);
    auto *ui = m_options.ui;
    auto *box = static_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            guard([this] { cmdAdd_Click(); }, &m_options);
            return true;
        }
        if (watched == ui->txtSymbol && key->key() == Qt::Key_F2) {
            guard([this, key] { txtSymbol_KeyDown(key->key(), key->modifiers()); }, &m_options);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
        break;
    case QEvent::FocusOut:
        if (watched == ui->txtLowAlert || watched == ui->txtHighAlert)
            box->setText(alertText(box->text()));
        else if (watched == ui->txtShares)
            box->setText(sharesText(box->text()));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
