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

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

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
    frmOptions *opt = &m_options;
    auto guarded = [this](void (SymbolListEditor::*handler)()) {
        return [this, handler] { guard([this, handler] { (this->*handler)(); }, &m_options); };
    };
    connect(opt->cmdAdd(), &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdAdd_Click));
    connect(opt->cmdRemoveButton(), &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdRemoveButton_Click));
    connect(opt->cmdMoveUp(), &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdMoveUp_Click));
    connect(opt->cmdMoveDown(), &QAbstractButton::clicked, this,
            guarded(&SymbolListEditor::cmdMoveDown_Click));
    connect(opt->gridSymbols(), &FlexGrid::click, this,
            guarded(&SymbolListEditor::gridSymbols_Click));
    // Only the user's typing resets the other boxes; the program's own setText (the
    // copy of a row) runs the same handler, as the row copy relies on.
    connect(opt->txtSymbol(), &QLineEdit::textChanged, this,
            guarded(&SymbolListEditor::txtSymbol_Change));
    for (QLineEdit *box :
         {opt->txtSymbol(), opt->txtShares(), opt->txtLowAlert(), opt->txtHighAlert()})
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
    return m_options.gridSymbols()->cellPicture(row, 4).cacheKey() == logPicture(true).cacheKey();
}

void SymbolListEditor::clearEntryBoxes()
{
    frmOptions *opt = &m_options;
    opt->txtSymbol()->clear();
    opt->txtShares()->clear();
    opt->txtLowAlert()->clear();
    opt->txtHighAlert()->clear();
    opt->chkLog()->setChecked(false);
    opt->txtSymbol()->setFocus();
}

void SymbolListEditor::cmdAdd_Click()
{
    frmOptions *opt = &m_options;
    PlayClick();
    // A pasted "csco\t" or " ibm" is the symbol CSCO or IBM, not a new kind of row.
    if (opt->txtSymbol()->text() != Symbols::clean(opt->txtSymbol()->text()))
        opt->txtSymbol()->setText(Symbols::clean(opt->txtSymbol()->text()));
    if (opt->txtSymbol()->text().isEmpty())
        return;
    const QString refusal = Symbols::refusal(opt->txtSymbol()->text());
    if (!refusal.isEmpty()) {
        Platform::instance().messageBox->show(
            &m_options, QStringLiteral("Vantora Invalid Symbol"),
            QStringLiteral("The symbol \"%1\" cannot be asked for: %2.\r\n"
                           "Please correct it and press Add again.")
                .arg(opt->txtSymbol()->text(), refusal),
            MessageBoxService::Icon::Warning, QMessageBox::Ok);
        opt->txtSymbol()->setFocus();
        return;
    }
    AddSymbol = opt->txtSymbol()->text().toUpper();
    AddLogging = opt->chkLog()->isChecked();
    opt->txtLowAlert()->setText(alertText(opt->txtLowAlert()->text()));
    opt->txtHighAlert()->setText(alertText(opt->txtHighAlert()->text()));
    RowText = AddSymbol + QLatin1Char('\t') + opt->txtShares()->text() + QLatin1Char('\t') +
              opt->txtLowAlert()->text() + QLatin1Char('\t') + opt->txtHighAlert()->text();
    AddSymbolRow();
    clearEntryBoxes();
    if (m_hooks.activeConnection && m_hooks.activeConnection() && m_hooks.requestQuotes)
        m_hooks.requestQuotes();
}

void SymbolListEditor::AddSymbolRow()
{
    frmOptions *opt = &m_options;
    FlexGrid *grid = opt->gridSymbols();
    const QString wanted = opt->txtSymbol()->text().toUpper();

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
            const QString type = opt->cboBuySell()->currentText();
            if (type == QLatin1String("Bought"))
                opt->txtShares()->setText(Format(held + traded, u""));
            else if (type == QLatin1String("Sold"))
                opt->txtShares()->setText(Format(held - traded, u""));
        }
        grid->setTextMatrix(found, 1, numberText(opt->txtShares()->text()));
        if (!m_state.TradeLogging) {
            if (Val(opt->txtLowAlert()->text()) != Val(grid->textMatrix(found, 2)))
                grid->setTextMatrix(found, 2, alertText(opt->txtLowAlert()->text()));
            if (Val(opt->txtHighAlert()->text()) != Val(grid->textMatrix(found, 3)))
                grid->setTextMatrix(found, 3, alertText(opt->txtHighAlert()->text()));
            grid->setCellPicture(found, 4, logPicture(AddLogging));
        }
    } else if (grid->rows() >= MaxSymbols + 1) {
        Platform::instance().messageBox->show(
            &m_options, QStringLiteral("Symbol List Full"),
            QStringLiteral("Symbol list full - Can't add any more symbols."),
            MessageBoxService::Icon::Warning, QMessageBox::Ok);
    } else if (!m_state.TradeLogging ||
               opt->cboBuySell()->currentText() == QLatin1String("Bought")) {
        // A purchase of a symbol not listed yet adds its row with the quantity bought.
        grid->addItem(RowText);
        grid->viewport()->update();
        grid->setCellPicture(grid->rows() - 1, 4, logPicture(AddLogging));
    }
    m_state.SelectedRow = 1;
}

void SymbolListEditor::cmdRemoveButton_Click()
{
    frmOptions *opt = &m_options;
    FlexGrid *grid = opt->gridSymbols();
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
    FlexGrid *grid = m_options.gridSymbols();
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
    FlexGrid *grid = m_options.gridSymbols();
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
    frmOptions *opt = &m_options;
    FlexGrid *grid = opt->gridSymbols();
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
    opt->txtSymbol()->setText(grid->textMatrix(row, 0));
    opt->txtShares()->setText(grid->textMatrix(row, 1));
    opt->txtLowAlert()->setText(grid->textMatrix(row, 2));
    opt->txtHighAlert()->setText(grid->textMatrix(row, 3));
    opt->chkLog()->setChecked(rowIsLogged(row));
}

void SymbolListEditor::txtSymbol_Change()
{
    frmOptions *opt = &m_options;
    // With no symbol the boxes are emptied, so that each shows what goes in it again.
    const bool none = opt->txtSymbol()->text().isEmpty();
    opt->txtShares()->setText(none ? QString() : QStringLiteral("0"));
    opt->txtLowAlert()->setText(none ? QString() : QStringLiteral("0.00"));
    opt->txtHighAlert()->setText(none ? QString() : QStringLiteral("0.00"));
}

bool SymbolListEditor::txtSymbol_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_F2)
        return false;
    frmOptions *opt = &m_options;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    if (shift && alt && !ctrl) {
        m_state.RealTimeMode = true;
        opt->txtSymbol()->setText(QStringLiteral("Real-Time"));
    } else if (shift && ctrl && !alt) {
        m_state.RealTimeMode = false;
        opt->txtSymbol()->setText(QStringLiteral("Delayed"));
    } else {
        opt->txtSymbol()->clear();
        return true;
    }
    if (m_hooks.realTimeModeChanged)
        m_hooks.realTimeModeChanged();
    return true;
}

bool SymbolListEditor::isEntryBox(QObject *object) const
{
    frmOptions *opt = &m_options;
    return object == opt->txtSymbol() || object == opt->txtShares() ||
           object == opt->txtLowAlert() || object == opt->txtHighAlert();
}

bool SymbolListEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (!isEntryBox(watched))
        return QObject::eventFilter(watched, event);
    frmOptions *opt = &m_options;
    auto *box = static_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            guard([this] { cmdAdd_Click(); }, &m_options);
            return true;
        }
        if (watched == opt->txtSymbol() && key->key() == Qt::Key_F2) {
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
        if (watched == opt->txtLowAlert() || watched == opt->txtHighAlert())
            box->setText(alertText(box->text()));
        else if (watched == opt->txtShares())
            box->setText(sharesText(box->text()));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
