#include "HorizontalScrollerDesignerPlugin.h"

#include "HorizontalScroller.h"

#include <QIcon>

namespace Slidetape {

HorizontalScrollerDesignerPlugin::HorizontalScrollerDesignerPlugin(QObject *parent)
    : QObject(parent)
{
}

QString HorizontalScrollerDesignerPlugin::name() const
{
    return QStringLiteral("Slidetape::HorizontalScroller");
}

QString HorizontalScrollerDesignerPlugin::group() const
{
    return QStringLiteral("Slidetape");
}

QString HorizontalScrollerDesignerPlugin::toolTip() const
{
    return QStringLiteral("Scrolling ticker strip");
}

QString HorizontalScrollerDesignerPlugin::whatsThis() const
{
    return QStringLiteral("A strip that slides one line of text in, holds it, and slides it out.");
}

QString HorizontalScrollerDesignerPlugin::includeFile() const
{
    return QStringLiteral("HorizontalScroller.h");
}

QIcon HorizontalScrollerDesignerPlugin::icon() const
{
    return QIcon();
}

bool HorizontalScrollerDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *HorizontalScrollerDesignerPlugin::createWidget(QWidget *parent)
{
    return new HorizontalScroller(parent);
}

bool HorizontalScrollerDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void HorizontalScrollerDesignerPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString HorizontalScrollerDesignerPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"Slidetape::HorizontalScroller\" name=\"Scroller1\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>400</width><height>20</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n");
}

} // namespace Slidetape
