#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef VANTORA_INSTALL_DATADIR
#define VANTORA_INSTALL_DATADIR "/usr/local/share/vantora"
#endif
#ifndef VANTORA_DATADIR_FROM_BIN
#define VANTORA_DATADIR_FROM_BIN "../share/vantora"
#endif

namespace {

QString executableFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

QString ProgramFolder::folder()
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
    return QDir::cleanPath(QDir(folder).absolutePath());
}

QString ProgramFolder::path()
{
    const QString folder = ProgramFolder::folder();
    QDir().mkpath(folder);
    return folder;
}

QStringList ProgramFolder::dataFolders()
{
    QStringList folders{folder(), qEnvironmentVariable("VANTORA_DATA_DIR")};
    const QString exe = executableFolder();
    if (!exe.isEmpty()) {
        folders << exe;
        // An installed copy, wherever its prefix: the data folder relative to the program.
        folders << QDir::cleanPath(exe + QLatin1Char('/') +
                                   QLatin1String(VANTORA_DATADIR_FROM_BIN));
    }
    folders << QStringLiteral(VANTORA_INSTALL_DATADIR);
    folders.removeAll(QString());
    folders.removeDuplicates();
    return folders;
}

QString ProgramFolder::dataFile(const QString &name)
{
    for (const QString &folder : dataFolders()) {
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
