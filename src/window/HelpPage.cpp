#include "HelpPage.h"

#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>
#include <QUrl>

QString HelpPage::path()
{
    return ProgramFolder::dataFile(QStringLiteral("Vantora.html"));
}

bool HelpPage::open()
{
    const QString file = path();
    if (!QFileInfo::exists(file))
        return false;
    return Platform::instance().programs->openUrl(QUrl::fromLocalFile(file));
}
