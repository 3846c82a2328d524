#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace Ui {
class dlgAddPortfolio;
}

// "Add New Portfolio": asks for the name of a new portfolio. An empty name is ignored and
// the dialog stays open; any other name is handed to the acceptor, which creates the
// portfolio (true: the dialog closes) or explains why it cannot (false: it stays open).
class dlgAddPortfolio : public QDialog
{
    Q_OBJECT
public:
    using Acceptor = std::function<bool(const QString &name)>;

    explicit dlgAddPortfolio(Acceptor acceptor, QWidget *parent = nullptr);
    ~dlgAddPortfolio() override;

    // The name box and the OK button, reached by the tests.
    QLineEdit *txtAddPortfolio() const;
    QPushButton *OKButton() const;

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::dlgAddPortfolio *ui;
    Acceptor m_acceptor;
};
