#include "VantoraApp.h"

#include "StockMain.h"
#include "window/dlgDisclaimer.h"
#include "window/frmSplash.h"
#include "window/frmStockMain.h"

#include <QCoreApplication>

VantoraApp::VantoraApp() : m_splash(std::make_unique<frmSplash>())
{
    runAgreement = [](dlgDisclaimer &dialog) { return dialog.exec(); };
    connect(m_splash.get(), &frmSplash::loadMainWindow, this, [this] { loadMain(); });
}

VantoraApp::~VantoraApp() = default;

StockMain &VantoraApp::loadMain()
{
    if (!m_main) {
        m_main = std::make_unique<StockMain>();
        m_main->Form_Load();
    }
    return *m_main;
}

bool VantoraApp::start()
{
    if (!m_splash->Form_Load())
        return true;

    // First run: the main window is loaded (its start-up runs and leaves it hidden) and
    // the agreement decides whether the program goes on.
    m_agreementPending = true;
    StockMain &main = loadMain();
    dlgDisclaimer dialog;
    if (!dialog.Form_Load()) {
        m_agreementPending = false;
        return false;
    }
    m_splash->Timer1.stop(); // the splash must not close behind the dialog
    bool agreed = false;
    connect(&dialog, &dlgDisclaimer::agreed, this, [&] { agreed = true; });
    runAgreement(dialog);
    m_agreementPending = false;
    if (!agreed)
        return false;
    m_splash->Timer1.start();
    main.showAfterAgreement();
    return true;
}

void VantoraApp::terminate()
{
    if (m_main && !m_agreementPending)
        m_main->exitProgram(false);
    else
        QCoreApplication::quit();
}

void VantoraApp::sessionEnding()
{
    if (m_main && !m_agreementPending)
        m_main->saveAll();
}
