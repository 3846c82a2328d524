#include "ScrollerHost.h"

#include "common/PluginFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QWidget>

namespace {

// Member signatures as the control's meta-object spells them.
constexpr const char *DoScrollSignature = "DoScroll(QString,short,int,bool,short)";
constexpr const char *PsSignature = "PS(int)";
constexpr const char *ClsSignature = "Cls()";
constexpr const char *RefreshSignature = "Refresh()";
constexpr const char *SaveSignature = "saveProperties()";
constexpr const char *LoadSignature = "loadProperties(QVariantMap)";

// The control's events and their forwarding signals have the same signatures.
constexpr const char *ForwardedSignals[] = {
    "Change()",
    "Click()",
    "DblClick()",
    "Hide()",
    "KeyDown(short,short)",
    "KeyPress(int)",
    "KeyUp(short,short)",
    "MouseDown(short,short,float,float)",
    "MouseMove(short,short,float,float)",
    "MouseUp(short,short,float,float)",
    "PropertyChanged(QString)",
    "Error(int,QString)",
};

int methodIndex(const QMetaObject *meta, const char *signature)
{
    return meta->indexOfMethod(QMetaObject::normalizedSignature(signature).constData());
}

} // namespace

ScrollerHost::ScrollerHost(QObject *parent) : QObject(parent) {}

// The control belongs to its parent widget; the library stays loaded for the process.
ScrollerHost::~ScrollerHost() = default;

QStringList ScrollerHost::defaultSearchDirs()
{
    return pluginSearchDirs();
}

QString ScrollerHost::locateLibrary(const QStringList &searchDirs)
{
    for (const QString &dir : searchDirs) {
        const QString path = QDir(dir).absoluteFilePath(libraryFileName());
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

QString ScrollerHost::libraryFileName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("slidetape.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libslidetape.dylib");
#else
    return QStringLiteral("libslidetape.so");
#endif
}

bool ScrollerHost::fail(const QString &reason)
{
    m_missing = true;
    m_error = reason;
    if (!m_warned) {
        m_warned = true;
        qWarning().noquote() << "Ticker control not available, running without the ticker:"
                             << reason;
    }
    return false;
}

QObject *ScrollerHost::loadFactory(const QStringList &searchDirs)
{
    QStringList problems;
    for (const QString &dir : searchDirs) {
        const QString path = QDir(dir).absoluteFilePath(libraryFileName());
        if (!QFileInfo::exists(path))
            continue;
        QPluginLoader loader(path);
        // The metadata is read without running any of the library's code.
        const QJsonObject meta = loader.metaData();
        if (meta.isEmpty()) {
            problems << QStringLiteral("%1: not a plugin (%2)").arg(path, loader.errorString());
            continue;
        }
        if (meta.value(QLatin1String("IID")).toString() != QLatin1String(FactoryIid)) {
            problems << QStringLiteral("%1: offers another interface").arg(path);
            continue;
        }
        const QJsonArray keys =
            meta.value(QLatin1String("MetaData")).toObject().value(QLatin1String("Keys")).toArray();
        if (!keys.contains(QLatin1String(ClassId))) {
            problems << QStringLiteral("%1: has no class %2").arg(path, QLatin1String(ClassId));
            continue;
        }
        QObject *factory = loader.instance();
        if (!factory) {
            problems << QStringLiteral("%1: %2").arg(path, loader.errorString());
            continue;
        }
        m_libraryPath = path;
        return factory;
    }
    fail(problems.isEmpty() ? QStringLiteral("%1 not found in %2")
                                  .arg(libraryFileName(), searchDirs.join(QLatin1String(", ")))
                            : problems.join(QLatin1String("; ")));
    return nullptr;
}

bool ScrollerHost::load(QWidget *parent, const QString &objectName, const QStringList &searchDirs)
{
    if (isLoaded())
        return true;
    QObject *factory = loadFactory(searchDirs);
    if (!factory)
        return false;

    QWidget *control = nullptr;
    const bool invoked = QMetaObject::invokeMethod(
        factory, "create", Qt::DirectConnection, Q_RETURN_ARG(QWidget *, control),
        Q_ARG(QString, QLatin1String(ClassId)), Q_ARG(QWidget *, parent));
    if (!invoked || !control)
        return fail(
            QStringLiteral("%1 did not create %2").arg(m_libraryPath, QLatin1String(ClassId)));
    control->setObjectName(objectName);
    m_widget = control;
    // The control fills its place in the window and follows its size.
    if (parent) {
        control->setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
    if (!bind()) {
        m_widget = nullptr;
        delete control;
        return false;
    }
    m_missing = false;
    m_error.clear();
    return true;
}

bool ScrollerHost::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_widget && watched == m_widget->parentWidget())
        m_widget->setGeometry(m_widget->parentWidget()->rect());
    return QObject::eventFilter(watched, event);
}

bool ScrollerHost::bind()
{
    const QMetaObject *meta = m_widget->metaObject();
    m_doScrollIndex = methodIndex(meta, DoScrollSignature);
    m_psIndex = methodIndex(meta, PsSignature);
    m_clsIndex = methodIndex(meta, ClsSignature);
    m_refreshIndex = methodIndex(meta, RefreshSignature);
    m_saveIndex = methodIndex(meta, SaveSignature);
    m_loadIndex = methodIndex(meta, LoadSignature);
    if (m_doScrollIndex < 0 || m_psIndex < 0)
        return fail(
            QStringLiteral("%1 lacks DoScroll or PS").arg(QLatin1String(meta->className())));

    const QMetaObject *own = metaObject();
    for (const char *signature : ForwardedSignals) {
        const QByteArray normal = QMetaObject::normalizedSignature(signature);
        const int from = meta->indexOfSignal(normal.constData());
        const int to = own->indexOfSignal(normal.constData());
        if (from < 0 || to < 0) {
            qWarning().noquote() << "Ticker control has no event" << QLatin1String(normal);
            continue;
        }
        connect(m_widget, meta->method(from), this, own->method(to));
    }
    return true;
}

bool ScrollerHost::doScroll(const QString &text, qint16 speed, qint32 holdTime, bool override,
                            qint16 direction)
{
    if (!m_widget)
        return false;
    return m_widget->metaObject()
        ->method(m_doScrollIndex)
        .invoke(m_widget, Qt::DirectConnection, Q_ARG(QString, text), Q_ARG(short, speed),
                Q_ARG(int, holdTime), Q_ARG(bool, override), Q_ARG(short, direction));
}

bool ScrollerHost::ps(qint32 ms)
{
    if (!m_widget)
        return false;
    return m_widget->metaObject()->method(m_psIndex).invoke(m_widget, Qt::DirectConnection,
                                                            Q_ARG(int, ms));
}

bool ScrollerHost::cls()
{
    if (!m_widget || m_clsIndex < 0)
        return false;
    return m_widget->metaObject()->method(m_clsIndex).invoke(m_widget, Qt::DirectConnection);
}

bool ScrollerHost::refresh()
{
    if (!m_widget || m_refreshIndex < 0)
        return false;
    return m_widget->metaObject()->method(m_refreshIndex).invoke(m_widget, Qt::DirectConnection);
}

QVariant ScrollerHost::controlProperty(const char *name) const
{
    return m_widget ? m_widget->property(name) : QVariant();
}

bool ScrollerHost::setControlProperty(const char *name, const QVariant &value)
{
    return m_widget && m_widget->setProperty(name, value);
}

void ScrollerHost::setForeColor(quint32 color)
{
    setControlProperty("ForeColor", QVariant::fromValue(uint(color)));
}

quint32 ScrollerHost::foreColor() const
{
    return controlProperty("ForeColor").toUInt();
}

void ScrollerHost::setBackColor(quint32 color)
{
    setControlProperty("BackColor", QVariant::fromValue(uint(color)));
}

quint32 ScrollerHost::backColor() const
{
    return controlProperty("BackColor").toUInt();
}

void ScrollerHost::setFontBold(bool bold)
{
    setControlProperty("FontBold", bold);
}

bool ScrollerHost::fontBold() const
{
    return controlProperty("FontBold").toBool();
}

void ScrollerHost::setMousePointer(qint16 pointer)
{
    setControlProperty("MousePointer", QVariant::fromValue(short(pointer)));
}

qint16 ScrollerHost::mousePointer() const
{
    return qint16(controlProperty("MousePointer").toInt());
}

void ScrollerHost::setToolTipText(const QString &text)
{
    setControlProperty("ToolTipText", text);
}

void ScrollerHost::setVisible(bool visible)
{
    if (m_widget)
        m_widget->setVisible(visible);
}

QVariantMap ScrollerHost::saveProperties() const
{
    QVariantMap saved;
    if (m_widget && m_saveIndex >= 0)
        m_widget->metaObject()
            ->method(m_saveIndex)
            .invoke(m_widget, Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, saved));
    return saved;
}

void ScrollerHost::loadProperties(const QVariantMap &store)
{
    if (m_widget && m_loadIndex >= 0)
        m_widget->metaObject()
            ->method(m_loadIndex)
            .invoke(m_widget, Qt::DirectConnection, Q_ARG(QVariantMap, store));
}
