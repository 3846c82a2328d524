#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>

class QWidget;

namespace Slidetape {

// What Slidetape's plugin offers: the identifiers of its control classes and a way to create
// one by identifier. The same two calls are Q_INVOKABLE on the plugin object, so a host that
// does not include this header reaches them through the meta-object:
//   QMetaObject::invokeMethod(instance, "create", Q_RETURN_ARG(QWidget *, w),
//                             Q_ARG(QString, id), Q_ARG(QWidget *, parent));
class ControlFactory
{
public:
    virtual ~ControlFactory() = default;
    virtual QStringList classIds() const = 0;
    // A new control of the class, or nullptr for an unknown identifier.
    virtual QWidget *create(const QString &classId, QWidget *parent) = 0;
};

} // namespace Slidetape

#define SLIDETAPE_CONTROLFACTORY_IID "org.slidetape.ControlFactory/1.0"
Q_DECLARE_INTERFACE(Slidetape::ControlFactory, SLIDETAPE_CONTROLFACTORY_IID)
