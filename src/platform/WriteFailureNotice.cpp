#include "WriteFailureNotice.h"

#include "Platform.h"

#include <QDir>
#include <QMessageBox>

void WriteFailureNotice::failed(QWidget *parent, const QString &what, const QString &path,
                                const QString &reason, const QString &consequence)
{
    if (m_shown)
        return;
    m_shown = true;
    QString text = QStringLiteral("Vantora cannot write its %1 file\n\"%2\"")
                       .arg(what, QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        text += QStringLiteral(":\n") + reason;
    text += QStringLiteral("\n\n") + consequence;
    Platform::instance().messageBox->show(parent, title(), text, MessageBoxService::Icon::Critical,
                                          QMessageBox::Ok);
}
