#include "frmSplash.h"

#include "settings/SettingsStore.h"
#include "ui_frmSplash.h"

#include <QApplication>
#include <QScreen>

frmSplash::frmSplash(QWidget *parent) : QWidget(parent), ui(new Ui::frmSplash)
{
    ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Timer1.setInterval(3000);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

frmSplash::~frmSplash()
{
    delete ui;
}

bool frmSplash::Form_Load()
{
    // A stored "0" counts as not yet agreed too: the main window stays hidden on "0", so
    // without the agreement it would never appear.
    const QString firstRun =
        SettingsStore::read(QStringLiteral("Settings"), QStringLiteral("FirstRun")).trimmed();
    const bool agreementFirst = firstRun.isEmpty() || firstRun == QLatin1String("0");
    // On a first run the agreement is shown alone; the splash follows once it is accepted.
    if (!agreementFirst)
        showSplash();
    return agreementFirst;
}

void frmSplash::showSplash()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    repaint();
    Timer1.start();
}

void frmSplash::Timer1_Timer()
{
    Timer1.stop();
    QApplication::restoreOverrideCursor();
    hide();
    Q_EMIT loadMainWindow();
}
