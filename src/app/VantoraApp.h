#pragma once

#include <QObject>

#include <functional>
#include <memory>

class StockMain;
class frmSplash;
class dlgDisclaimer;

// The program's life from the splash window to the end: the splash, the user agreement on
// a first run, the main window, and the ways the program ends (Exit, the agreement
// refused, the desktop closing it).
class VantoraApp : public QObject
{
    Q_OBJECT
public:
    VantoraApp();
    ~VantoraApp() override;

    // Shows the splash and, on a first run, the agreement. False when the program must end
    // at once (agreement refused or its text missing).
    bool start();

    // The desktop asked Vantora to end (SIGTERM, SIGINT): save as Exit does and quit. While
    // the agreement is still pending nothing is saved, as when it is refused.
    void terminate();
    // The desktop session is ending: save everything now.
    void sessionEnding();
    // Another start of the program asked this one to show itself.
    void bringToFront();

    StockMain *main() const { return m_main.get(); }
    frmSplash *splash() const { return m_splash.get(); }
    bool agreementPending() const { return m_agreementPending; }

    // Creates the agreement dialog; tests replace how it is run.
    std::function<int(dlgDisclaimer &)> runAgreement;

private:
    StockMain &loadMain();

    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<StockMain> m_main;
    bool m_agreementPending = false;
};
