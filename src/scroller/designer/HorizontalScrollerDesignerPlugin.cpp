#include "HorizontalScrollerDesignerPlugin.h"

#include "HorizontalScroller.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

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
    // The installed header; forms link Slidetape::HorizontalScroller.
    return QStringLiteral("slidetape/HorizontalScroller.h");
}

QIcon HorizontalScrollerDesignerPlugin::icon() const
{
    // A dark strip with a line of text sliding in from the right, drawn at the two sizes
    // the widget box uses.
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = size / 16.0;
        const QRectF strip(0.5 * u, 4.5 * u, 15 * u, 7 * u);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), u));
        p.setBrush(QColor(0x58, 0x58, 0x58));
        p.drawRect(strip);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x00, 0xFF, 0x00));
        for (int i = 0; i < 3; ++i)
            p.drawRect(QRectF((3 + 3 * i) * u, 7 * u, 2 * u, 2 * u));
        QPolygonF arrow;
        arrow << QPointF(15 * u, 6 * u) << QPointF(12.5 * u, 8 * u) << QPointF(15 * u, 10 * u);
        p.setBrush(QColor(0xDD, 0xDD, 0xDD));
        p.drawPolygon(arrow);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
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
