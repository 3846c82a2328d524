#pragma once

#include "slidetape_export.h"

#include <QString>
#include <QVariant>

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

} // namespace Slidetape
