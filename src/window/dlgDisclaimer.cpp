#include "dlgDisclaimer.h"

#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/WriteFailureNotice.h"
#include "settings/SettingsStore.h"
#include "ui_dlgDisclaimer.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QMessageBox>

dlgDisclaimer::dlgDisclaimer(QWidget *parent) : QDialog(parent), ui(new Ui::dlgDisclaimer)
{
    ui->setupUi(this);
    connect(ui->chkDisclaimer, &QCheckBox::toggled, this, &dlgDisclaimer::chkDisclaimer_Click);
    connect(ui->OKButton, &QPushButton::clicked, this, &dlgDisclaimer::OKButton_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this, &dlgDisclaimer::CancelButton_Click);
}

dlgDisclaimer::~dlgDisclaimer()
{
    delete ui;
}

bool dlgDisclaimer::Form_Load()
{
    ui->OKButton->setEnabled(false);
    QApplication::restoreOverrideCursor();
    KeepOnTop();
    ui->chkDisclaimer->setChecked(false);

    QFile file(ProgramFolder::dataFile(QStringLiteral("Disclaimer.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Platform::instance().messageBox->show(
            nullptr, QStringLiteral("Vantora Fatal Error"),
            QStringLiteral("Fatal Error - File missing! Please re-download the Vantora "
                           "installation program."),
            MessageBoxService::Icon::Critical, QMessageBox::Ok);
        return false;
    }
    // Line by line, each line followed by CR LF, as the agreement box shows it.
    QString text;
    while (!file.atEnd()) {
        QString line = QString::fromLocal8Bit(file.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        text += line + QStringLiteral("\r\n");
    }
    ui->txtDisclaimer->setPlainText(text);
    return true;
}

QTextEdit *dlgDisclaimer::txtDisclaimer() const
{
    return ui->txtDisclaimer;
}

QCheckBox *dlgDisclaimer::chkDisclaimer() const
{
    return ui->chkDisclaimer;
}

QPushButton *dlgDisclaimer::OKButton() const
{
    return ui->OKButton;
}

QPushButton *dlgDisclaimer::CancelButton() const
{
    return ui->CancelButton;
}

void dlgDisclaimer::KeepOnTop()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void dlgDisclaimer::chkDisclaimer_Click()
{
    ui->OKButton->setEnabled(ui->chkDisclaimer->isChecked());
}

void dlgDisclaimer::OKButton_Click()
{
    // The button is only available while the box is ticked; a programmatic click while it
    // is not ticked records nothing.
    if (!ui->chkDisclaimer->isChecked())
        return;
    SettingsStore::write(QStringLiteral("Settings\\"), QStringLiteral("Path"),
                         ProgramFolder::path());
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"),
                         QStringLiteral("1"));
    SettingsStore::write(SettingsStore::portfolioSection(QStringLiteral("Default")),
                         QStringLiteral("FirstRun"),
                         QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    if (!SettingsStore::sync()) {
        // Reported as any failed save; the acceptance stays in memory and is written with
        // the next save, so the program goes on.
        WriteFailureNotice notice;
        notice.failed(this, QStringLiteral("settings"), SettingsStore::fileName(),
                      WriteFailureNotice::unwritableReason(),
                      WriteFailureNotice::settingsConsequence());
    }
    Q_EMIT agreed();
    accept();
}

void dlgDisclaimer::CancelButton_Click()
{
    Q_EMIT refused();
    reject();
}
