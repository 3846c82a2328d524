#pragma once

#include <QStringList>

// The folders searched for Vantora's loadable libraries (the ticker control, the web
// engine), in order: $VANTORA_PLUGIN_DIR, the program's folder, ../lib next to it, then
// the installed plugin folder.
QStringList pluginSearchDirs();
