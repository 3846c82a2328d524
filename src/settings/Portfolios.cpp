#include "Portfolios.h"

#include "SettingsStore.h"
#include "ValueForms.h"
#include "app/MainState.h"
#include "options/frmOptions.h"
#include "ui_frmOptions.h"

#include <QSignalBlocker>

namespace {

const QString kProgram = QStringLiteral("Settings");

} // namespace

Portfolios::Portfolios(MainState &state, frmOptions &options) : m_state(state), m_options(options)
{
    QObject::connect(m_options.ui->cboPortfolio, &QComboBox::currentIndexChanged,
                     m_options.ui->cboPortfolio, [this](int index) {
                         if (index >= 0)
                             cboPortfolio_Click();
                     });
}

void Portfolios::GetPortfolio()
{
    const QString startIndexText = SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex"));
    // A text that is not a number reads as 0 here, so only a real negative is rewritten.
    const auto startIndex = ValueForms::toInt16(startIndexText);
    if (startIndex && *startIndex < 0)
        SettingsStore::write(kProgram, QStringLiteral("StartPortfolioIndex"), QStringLiteral("0"));
    if (SettingsStore::read(kProgram, QStringLiteral("StartPortfolio")).isEmpty())
        SettingsStore::write(kProgram, QStringLiteral("StartPortfolio"), QStringLiteral("Default"));
    if (SettingsStore::read(kProgram, QStringLiteral("Portfolio0")).isEmpty())
        SettingsStore::write(kProgram, QStringLiteral("Portfolio0"), QStringLiteral("Default"));

    QComboBox *list = m_options.ui->cboPortfolio;
    {
        // Adding the first entry would select it by itself; the selection is made below.
        const QSignalBlocker blocker(list);
        for (int i = 0; i < 20; ++i) {
            const QString name =
                SettingsStore::read(kProgram, QStringLiteral("Portfolio") + QString::number(i));
            if (!name.isEmpty())
                list->addItem(name);
        }
        list->setCurrentIndex(-1);
    }

    m_state.CurrentPortfolio =
        SettingsStore::read(kProgram, QStringLiteral("StartPortfolio"), QStringLiteral("Default"));

    auto position = ValueForms::toInt16(
        SettingsStore::read(kProgram, QStringLiteral("StartPortfolioIndex"), QStringLiteral("0")));
    if (!position || *position > list->count() - 1 || *position < 0)
        position = 0;
    list->setCurrentIndex(*position);
}

void Portfolios::cboPortfolio_Click()
{
    m_state.CurrentPortfolio = m_options.ui->cboPortfolio->currentText();
    m_options.ui->cmdRemovePortfolio->setEnabled(true);
    m_state.PortfolioChanged = true;
}
