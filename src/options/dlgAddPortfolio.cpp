#include "dlgAddPortfolio.h"

#include "ui_dlgAddPortfolio.h"

#include <QKeyEvent>

dlgAddPortfolio::dlgAddPortfolio(Acceptor acceptor, QWidget *parent)
    : QDialog(parent), ui(new Ui::dlgAddPortfolio), m_acceptor(std::move(acceptor))
{
    ui->setupUi(this);
    connect(ui->OKButton, &QAbstractButton::clicked, this, &dlgAddPortfolio::OKButton_Click);
    connect(ui->CancelButton, &QAbstractButton::clicked, this,
            &dlgAddPortfolio::CancelButton_Click);
    ui->txtAddPortfolio->installEventFilter(this);
}

dlgAddPortfolio::~dlgAddPortfolio()
{
    delete ui;
}

QLineEdit *dlgAddPortfolio::txtAddPortfolio() const
{
    return ui->txtAddPortfolio;
}

QPushButton *dlgAddPortfolio::OKButton() const
{
    return ui->OKButton;
}

void dlgAddPortfolio::OKButton_Click()
{
    const QString name = ui->txtAddPortfolio->text();
    if (name.isEmpty())
        return;
    if (m_acceptor && !m_acceptor(name))
        return;
    accept();
}

void dlgAddPortfolio::CancelButton_Click()
{
    reject();
}

void dlgAddPortfolio::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->txtAddPortfolio->setVisible(true);
    ui->txtAddPortfolio->setFocus();
}

bool dlgAddPortfolio::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the name box acts as OK and goes no further.
    if (watched == ui->txtAddPortfolio && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKButton_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
