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

    // First run: the agreement comes before anything else and alone, the splash and the
    // main window's start-up included, so that nothing is written to the settings store
    // until it is accepted; refusing leaves the store exactly as it was.
    m_agreementPending = true;
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
    // The acceptance is stored now: the start goes on as any later start does, the splash
    // for its time and then the main window.
    m_splash->showSplash();
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

void VantoraApp::bringToFront()
{
    if (m_main)
        m_main->bringToFront();
    else if (m_splash->isVisible())
        m_splash->raise();
}
