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
    }
#ifdef VANTORA_INSTALL_PLUGINDIR
    dirs << QStringLiteral(VANTORA_INSTALL_PLUGINDIR);
#endif
    return dirs;
}
