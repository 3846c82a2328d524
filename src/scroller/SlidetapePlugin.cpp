#include "SlidetapePlugin.h"

#include "HorizontalScroller.h"

namespace Slidetape {

SlidetapePlugin::SlidetapePlugin(QObject *parent) : QObject(parent) {}

QStringList SlidetapePlugin::classIds() const
{
    return {QString::fromLatin1(HorizontalScrollerId)};
}

QWidget *SlidetapePlugin::create(const QString &classId, QWidget *parent)
{
    if (classId == QLatin1String(HorizontalScrollerId))
        return new HorizontalScroller(parent);
    return nullptr;
}

} // namespace Slidetape
