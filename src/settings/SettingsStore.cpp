#include "SettingsStore.h"

#include <QSettings>

namespace {

QSettings &store()
{
    // One instance for the whole run keeps reads cheap; QSettings syncs on its own and
    // on destruction at exit.
    static QSettings settings(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
    return settings;
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
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
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
    store().remove(fullKey(section, key));
}

void SettingsStore::removeSection(const QString &section)
{
    const QString group = groupPath(section);
    if (!group.isEmpty())
        store().remove(group);
}

void SettingsStore::sync()
{
    store().sync();
}

void SettingsStore::clearAll()
{
    store().clear();
    store().sync();
}
