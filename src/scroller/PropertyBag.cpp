#include "VariantMapPropertyBag.h"

#include <QPixmap>

namespace Slidetape {

namespace {

bool isPicture(const QVariant &v)
{
    return v.metaType().id() == QMetaType::QPixmap || v.metaType().id() == QMetaType::QImage;
}

QImage toImage(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QPixmap)
        return v.value<QPixmap>().toImage();
    return v.value<QImage>();
}

bool isEmptyPicture(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    if (v.metaType().id() == QMetaType::QPixmap)
        return v.value<QPixmap>().isNull();
    if (v.metaType().id() == QMetaType::QImage)
        return v.value<QImage>().isNull();
    return false;
}

} // namespace

QVariant VariantMapPropertyBag::readProperty(const QString &name,
                                             const QVariant &defaultValue) const
{
    const auto it = m_values.constFind(name);
    return it == m_values.constEnd() ? defaultValue : it.value();
}

void VariantMapPropertyBag::writeProperty(const QString &name, const QVariant &value,
                                          const QVariant &defaultValue)
{
    m_writeOrder.removeAll(name);
    if (sameValue(value, defaultValue)) {
        m_values.remove(name);
        return;
    }
    m_values.insert(name, value);
    m_writeOrder.append(name);
}

bool VariantMapPropertyBag::sameValue(const QVariant &a, const QVariant &b)
{
    if (isPicture(a) || isPicture(b) || !a.isValid() || !b.isValid()) {
        if (isEmptyPicture(a) && isEmptyPicture(b))
            return true;
        if (isEmptyPicture(a) != isEmptyPicture(b))
            return false;
        // Two real pictures: the same only when their pixels are.
        return toImage(a) == toImage(b);
    }
    return a == b;
}

} // namespace Slidetape
