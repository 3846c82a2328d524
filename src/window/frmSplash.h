#pragma once

#include <QTimer>
#include <QWidget>

namespace Ui {
class frmSplash;
}

// The window shown while Vantora starts; three seconds after it appears (or after the
// agreement on a first run) it closes and hands over to the main window.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

    // Shows the splash and starts Timer1. True when this is a first run, i.e. the setting
    // "FirstRun" of "Settings" is missing or empty, and the agreement must be shown.
    bool Form_Load();

    QTimer Timer1;
    Ui::frmSplash *ui;

Q_SIGNALS:
    // Timer1 fired: the splash has closed itself; load the main window.
    void loadMainWindow();

private:
    void Timer1_Timer();
};
