#include "ErrorReporter.h"

#include "platform/Platform.h"

#include <QMessageBox>

QString errorMessageText(const RuntimeError &error)
{
    return error.source() + QStringLiteral(" Error # ") + QString::number(error.number()) +
           QLatin1Char('\r') + error.description();
}

void ErrorMessage(const RuntimeError &error, QWidget *parent)
{
    Platform::instance().messageBox->show(parent, QStringLiteral("Error"), errorMessageText(error),
                                          MessageBoxService::Icon::NoIcon, QMessageBox::Ok);
}
