#include "StockMain.h"

#include "app/OptionsWindow.h"
#include "platform/ErrorReporter.h"
#include "window/LinkButton.h"
#include "window/frmStockMain.h"

#include <QAbstractButton>

// The Options window's behaviour and the portfolio commands are wired here.
void StockMain::wireOptions()
{
    auto window = std::make_shared<OptionsWindow>(*this, *m_portfolios);
    m_optionsConcern = window;
    OptionsWindow *options = window.get();
    LinkButton *button = m_form->cmdOptions();
    connect(button, &QAbstractButton::clicked, options, [this, options, button] {
        guard(
            [options, button] {
                // A button left pressed or hovered by the click is put back at rest.
                if (button->state() != LinkButton::Up)
                    button->setState(LinkButton::Up);
                options->open();
            },
            m_form.get());
    });
}

OptionsWindow &StockMain::optionsWindow()
{
    return *std::static_pointer_cast<OptionsWindow>(m_optionsConcern);
}
