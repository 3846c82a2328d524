#pragma once

// Not installed: the control's own property store over a map.

#include "PropertyBag.h"

#include <QStringList>
#include <QVariantMap>

namespace Slidetape {

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
