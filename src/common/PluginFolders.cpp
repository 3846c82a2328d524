#include "PluginFolders.h"

#include <QCoreApplication>
#include <QDir>

QStringList pluginSearchDirs()
{
    QStringList dirs;
    const QString fromEnv = qEnvironmentVariable("VANTORA_PLUGIN_DIR");
    if (!fromEnv.isEmpty())
        dirs << fromEnv;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty()) {
        dirs << appDir;
        dirs << QDir::cleanPath(appDir + QStringLiteral("/../lib"));
        // An installed copy under any prefix: the plugin folder relative to the program
        // (lib/<arch>/vantora or lib/vantora).
#ifdef VANTORA_PLUGINDIR_FROM_BIN
        dirs << QDir::cleanPath(appDir + QLatin1Char('/') +
                                QLatin1String(VANTORA_PLUGINDIR_FROM_BIN));
#endif
        dirs << QDir::cleanPath(appDir + QStringLiteral("/../lib/vantora"));
    }
#ifdef VANTORA_INSTALL_PLUGINDIR
    dirs << QStringLiteral(VANTORA_INSTALL_PLUGINDIR);
#endif
    dirs.removeDuplicates();
    return dirs;
}
