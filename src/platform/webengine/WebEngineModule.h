#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// What the web-engine module (libvantora_webengine.so) offers the program: plain functions
// over its page view, so that the module and the program share no class. The program loads
// the module when it shows its first page; before that the engine's libraries are not even
// mapped (they alone took a fifth of the program's memory).
struct WebEngineModule
{
    static constexpr int Version = 1;
    int version;
    // A page view, a child of parent (deleting the widget ends it). The three callbacks
    // follow the view's load start, load end and title changes.
    QWidget *(*createView)(QWidget *parent, std::function<void()> started,
                           std::function<void()> finished, std::function<void()> titleChanged);
    void (*load)(QWidget *view, const QUrl &url);
    // False when the history has no page that way.
    bool (*goBack)(QWidget *view);
    bool (*goForward)(QWidget *view);
    void (*stop)(QWidget *view);
    void (*reload)(QWidget *view);
    // Freezes the page (hidden, muted, no script or timer) and wakes it again.
    void (*pause)(QWidget *view);
    void (*resume)(QWidget *view);
    QUrl (*url)(const QWidget *view);
    QString (*title)(const QWidget *view);
};

// The name of the module's one exported function, which returns its WebEngineModule.
inline constexpr char kWebEngineModuleEntry[] = "vantoraWebEngineModule";
