#pragma once

#include <QObject>
#include <QString>

#include <functional>

struct MainState;
class frmOptions;
class QLineEdit;

// The symbol list of the Options window's Quotes tab (gridSymbols) and its entry boxes:
// adding or updating a row, removing and moving rows, the grid click that copies a row into
// the boxes and toggles its logging picture, the boxes' focus, format and Enter rules, and
// the F2 real-time switch in the symbol box.
class SymbolListEditor : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxSymbols = 30;

    // What the editor needs from the rest of the program.
    struct Hooks
    {
        std::function<bool()> activeConnection;    // a usable connection exists
        std::function<void()> requestQuotes;       // start a quote download now
        std::function<void()> refreshQuoteGrid;    // recolour, show, select SelectedRow
        std::function<void()> realTimeModeChanged; // columns, labels, interval list
    };

    SymbolListEditor(MainState &state, frmOptions &options, Hooks hooks);

    // The working values that AddSymbolRow reads; cmdAdd_Click sets them, and so does the
    // trade tracker before it runs AddSymbolRow (the row text then holds the symbol and the
    // quantity traded, which a purchase adds to the holding and a sale takes from it).
    QString RowText;
    QString AddSymbol;
    bool AddLogging = false;

    void cmdAdd_Click();
    void AddSymbolRow();
    void cmdRemoveButton_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();
    void gridSymbols_Click();
    void txtSymbol_Change();
    // The F2 switch; returns true when the key was F2.
    bool txtSymbol_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Formats of the entry boxes.
    static QString alertText(const QString &text);  // "##0.00"
    static QString sharesText(const QString &text); // "######0"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isEntryBox(QObject *object) const;
    void clearEntryBoxes();
    bool rowIsLogged(int row) const;

    MainState &m_state;
    frmOptions &m_options;
    Hooks m_hooks;
};
