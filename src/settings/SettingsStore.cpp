#include "SettingsStore.h"

#include <QSettings>

#include <memory>

namespace {

std::unique_ptr<QSettings> makeStore()
{
    auto settings =
        std::make_unique<QSettings>(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
    // The file is replaced as a whole (a new file written, flushed and renamed over the old
    // one), so a program killed while saving leaves the old file or the new one, never a
    // mixture. This is QSettings' default; it is set here so that it cannot silently change.
    settings->setAtomicSyncRequired(true);
    return settings;
}

std::unique_ptr<QSettings> &storeHolder()
{
    static std::unique_ptr<QSettings> settings = makeStore();
    return settings;
}

QSettings &store()
{
    // One instance for the whole run keeps reads cheap; QSettings syncs on its own and
    // on destruction at exit.
    return *storeHolder();
}

QString fullKey(const QString &section, const QString &key)
{
    const QString group = SettingsStore::groupPath(section);
    return group.isEmpty() ? key : group + QLatin1Char('/') + key;
}

} // namespace

QString SettingsStore::groupPath(const QString &section)
{
    QString path = section;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // QSettings reads "a//b" as "a/b" and ignores separators at either end; so does this.
    while (path.contains(QLatin1String("//")))
        path.replace(QLatin1String("//"), QLatin1String("/"));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool SettingsStore::isProtectedSection(const QString &section)
{
    const QString group = groupPath(section);
    // Compared without regard to case: the registry, where the store lives on Windows,
    // does not tell "settings" from "Settings".
    return group.isEmpty() ||
           group.compare(groupPath(programSection()), Qt::CaseInsensitive) == 0 ||
           group.compare(groupPath(portfolioRoot()), Qt::CaseInsensitive) == 0;
}

QString SettingsStore::read(const QString &section, const QString &key, const QString &defaultValue)
{
    const QVariant value = store().value(fullKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited file may hold an unquoted value with commas, which QSettings reads
    // back as a list; the store's values are always single texts.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    store().setValue(fullKey(section, key), value);
}

void SettingsStore::removeKey(const QString &section, const QString &key)
{
    // An empty key would name the section itself.
    if (groupPath(key).isEmpty())
        return;
    store().remove(fullKey(section, key));
}

bool SettingsStore::removeSection(const QString &section)
{
    if (isProtectedSection(section))
        return false;
    store().remove(groupPath(section));
    return true;
}

Result SettingsStore::sync()
{
    // QSettings keeps an error status for the rest of its life, whether the failed write was
    // one of ours or one it made on its own from the event loop. After any failure the
    // write is made by a fresh instance, so the answer is about this write only: the
    // changes not yet written are held in the file's shared cache, and an instance made
    // while the old one still exists takes them over and writes them at once.
    if (store().status() != QSettings::NoError) {
        std::unique_ptr<QSettings> fresh = makeStore();
        storeHolder().swap(fresh);
    } else {
        store().sync();
    }
    switch (store().status()) {
    case QSettings::NoError:
        return {};
    case QSettings::FormatError:
        return RuntimeError(QStringLiteral("Vantora"), RuntimeError::PathFileAccess,
                            QStringLiteral("The settings file is not in the expected format."));
    case QSettings::AccessError:
        break;
    }
    return RuntimeError(QStringLiteral("Vantora"), RuntimeError::PathFileAccess,
                        QStringLiteral("The settings file cannot be written."));
}

QString SettingsStore::fileName()
{
    return store().fileName();
}

void SettingsStore::clearAll()
{
    store().clear();
    sync();
}
