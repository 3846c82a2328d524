#include "StockMain.h"

#include "ErrorReporter.h"
#include "frmStockMain.h"
#include "options/OptionsWindow.h"
#include "ui_frmStockMain.h"

#include <QAbstractButton>

// The Options window's behaviour and the portfolio commands are wired here.
void StockMain::wireOptions()
{
    auto window = std::make_shared<OptionsWindow>(*this, *m_portfolios);
    m_optionsConcern = window;
    OptionsWindow *options = window.get();
    connect(m_form->ui->cmdOptions, &QAbstractButton::clicked, options,
            [this, options] { guard([options] { options->open(); }, m_form.get()); });
}

OptionsWindow &StockMain::optionsWindow()
{
    return *std::static_pointer_cast<OptionsWindow>(m_optionsConcern);
}
