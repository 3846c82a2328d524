#pragma once

#include "ControlFactory.h"

#include <QObject>

namespace Slidetape {

// The library's entry object: Qt's plugin loader finds it by its metadata (slidetape.json,
// which lists the class identifiers under "Keys") and creates it on first use.
class SlidetapePlugin : public QObject, public ControlFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.slidetape.ControlFactory/1.0" FILE "slidetape.json")
    Q_INTERFACES(Slidetape::ControlFactory)
public:
    static constexpr const char *HorizontalScrollerId = "Slidetape.HorizontalScroller";

    explicit SlidetapePlugin(QObject *parent = nullptr);

    Q_INVOKABLE QStringList classIds() const override;
    Q_INVOKABLE QWidget *create(const QString &classId, QWidget *parent) override;
};

} // namespace Slidetape
