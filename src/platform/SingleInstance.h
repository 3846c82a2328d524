#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One running program per settings store. The first start listens on a local socket named
// after the store's file; a later start for the same store finds it, asks it to show its
// window and ends, so that two copies never overwrite each other's settings.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // storeFile: the settings file this run uses; runtimeDir: where the socket lives.
    SingleInstance(const QString &storeFile, const QString &runtimeDir, QObject *parent = nullptr);

    // True when another run of the same store answered and was asked to show itself: this
    // run ends. Otherwise this run takes the name (a socket left by a run that crashed is
    // taken over) and reports later starts through raiseRequested().
    bool handOverToRunning();

    QString socketPath() const { return m_path; }

Q_SIGNALS:
    // A later start asked this run to show its window.
    void raiseRequested();

private:
    QString m_path;
    QLocalServer m_server;
};
