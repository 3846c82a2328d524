#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTextEdit;

namespace Ui {
class dlgDisclaimer;
}

// The user agreement shown on the first run. Agreeing records the acceptance in the
// settings; refusing ends the program with nothing saved.
class dlgDisclaimer : public QDialog
{
    Q_OBJECT
public:
    explicit dlgDisclaimer(QWidget *parent = nullptr);
    ~dlgDisclaimer() override;

    // Prepares the dialog and loads the agreement text. False when "Disclaimer.txt" is
    // missing: the fatal message has been shown and the program must end.
    bool Form_Load();

    // Makes the dialog a top-most window without moving or sizing it.
    void KeepOnTop();

    // The agreement text, the box that accepts it, and the two buttons.
    QTextEdit *txtDisclaimer() const;
    QCheckBox *chkDisclaimer() const;
    QPushButton *OKButton() const;
    QPushButton *CancelButton() const;

public Q_SLOTS:
    void chkDisclaimer_Click();
    void OKButton_Click();
    void CancelButton_Click();

Q_SIGNALS:
    // The agreement was accepted and recorded.
    void agreed();
    // The agreement was refused: end the program at once, saving nothing.
    void refused();

private:
    Ui::dlgDisclaimer *ui;
};
