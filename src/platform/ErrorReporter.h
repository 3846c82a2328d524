#pragma once

#include "common/RuntimeError.h"

#include <QDebug>

#include <exception>
#include <utility>

class QWidget;

// Shows a run-time error in a box titled "Error": its source, " Error # ", its number, a
// carriage return and its description, with an OK button.
void ErrorMessage(const RuntimeError &error, QWidget *parent = nullptr);

// The text ErrorMessage shows for an error.
QString errorMessageText(const RuntimeError &error);

// Runs an event handler so that no failure escapes into Qt's event loop: a RuntimeError
// (or any other exception) is reported through ErrorMessage and the program carries on.
template <typename Handler> void guard(Handler &&handler, QWidget *parent = nullptr)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const RuntimeError &e) {
        ErrorMessage(e, parent);
    } catch (const std::exception &e) {
        ErrorMessage(RuntimeError(QStringLiteral("Vantora"), 0, QString::fromLocal8Bit(e.what())),
                     parent);
    }
}

// For the handlers that trap their own failures and end silently (the update tick, the
// index download): the failure is only logged for the developer.
template <typename Handler> void guardSilently(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const RuntimeError &e) {
        qDebug() << "silently ended:" << e.source() << e.number() << e.description();
    } catch (const std::exception &e) {
        qDebug() << "silently ended:" << e.what();
    }
}
