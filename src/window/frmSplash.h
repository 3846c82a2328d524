#pragma once

#include <QTimer>
#include <QWidget>

namespace Ui {
class frmSplash;
}

// The window shown while Vantora starts; three seconds after it appears it closes and hands
// over to the main window. On a first run it appears only once the agreement is accepted.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

    // Shows the splash and starts Timer1, unless this is a first run, i.e. the setting
    // "FirstRun" of "Settings" is missing, empty or "0": then nothing is shown and true is
    // returned, the agreement must come first, and showSplash() follows its acceptance.
    bool Form_Load();

    // Centres the splash on the screen, shows it and starts Timer1.
    void showSplash();

    QTimer Timer1;

Q_SIGNALS:
    // Timer1 fired: the splash has closed itself; load the main window.
    void loadMainWindow();

private:
    void Timer1_Timer();

    Ui::frmSplash *ui;
};
