#pragma once

#include "slidetape_export.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace Slidetape {

// The host's property store, as the control sees it while loading and saving its appearance.
// A read of a missing name answers the given default; a write of a value equal to its default
// leaves the name out of the store.
class SLIDETAPE_EXPORT PropertyBag
{
public:
    virtual ~PropertyBag() = default;
    virtual QVariant readProperty(const QString &name, const QVariant &defaultValue) const = 0;
    virtual void writeProperty(const QString &name, const QVariant &value,
                               const QVariant &defaultValue) = 0;
};

// A property store over a QVariantMap, which is what hosts without Slidetape's headers hand
// over through the control's meta-object.
class SLIDETAPE_EXPORT VariantMapPropertyBag : public PropertyBag
{
public:
    VariantMapPropertyBag() = default;
    explicit VariantMapPropertyBag(QVariantMap values) : m_values(std::move(values)) {}

    QVariant readProperty(const QString &name, const QVariant &defaultValue) const override;
    void writeProperty(const QString &name, const QVariant &value,
                       const QVariant &defaultValue) override;

    const QVariantMap &values() const { return m_values; }
    // Names in the order they were written (a map sorts them).
    const QStringList &writeOrder() const { return m_writeOrder; }

    // Whether two stored values count as the same; pictures compare by being empty or not.
    static bool sameValue(const QVariant &a, const QVariant &b);

private:
    QVariantMap m_values;
    QStringList m_writeOrder;
};

} // namespace Slidetape
