#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef VANTORA_INSTALL_DATADIR
#define VANTORA_INSTALL_DATADIR "/usr/local/share/vantora"
#endif

namespace {

QString executableFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

QString ProgramFolder::path()
{
    QString folder = qEnvironmentVariable("VANTORA_HOME");
    if (folder.isEmpty()) {
        const QString exe = executableFolder();
        const QFileInfo exeInfo(exe);
        if (!exe.isEmpty() && QFileInfo::exists(exe + QStringLiteral("/Disclaimer.txt")) &&
            exeInfo.isWritable())
            folder = exe;
        else
            folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/Vantora");
    }
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    QDir().mkpath(folder);
    return folder;
}

QString ProgramFolder::dataFile(const QString &name)
{
    const QStringList folders{path(), qEnvironmentVariable("VANTORA_DATA_DIR"), executableFolder(),
                              QStringLiteral(VANTORA_INSTALL_DATADIR)};
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString candidate = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return path() + QLatin1Char('/') + name;
}

QString ProgramFolder::systemProgramsFolder()
{
    const QString editor = QStandardPaths::findExecutable(QStringLiteral("sh"));
    return withTrailingSeparator(editor.isEmpty() ? QStringLiteral("/usr/bin")
                                                  : QFileInfo(editor).absolutePath());
}

QString ProgramFolder::withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}
