#include "Zoom.h"

#include <QFont>
#include <QRectF>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {

// What a zoomed window and its controls keep, as dynamic properties, so that nothing but
// the widgets themselves has to live as long as they do.
constexpr char kFactor[] = "vantoraZoom";     // double: the window's zoom
constexpr char kBase[] = "vantoraZoomBase";   // QRectF: place and size at 100%
constexpr char kShown[] = "vantoraZoomShown"; // QRect: place and size as last zoomed
constexpr char kFont[] = "vantoraZoomFont";   // QFont: own font at 100%, when it has one

bool isOwnControl(const QWidget &w)
{
    // Named controls of the form; a control's own inner parts (scroll bars, viewports, the
    // line edit of a spin box) are placed by the control itself.
    const QString name = w.objectName();
    return !w.isWindow() && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

void rememberControls(QWidget &parent)
{
    for (QObject *child : parent.children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (w == nullptr || !isOwnControl(*w))
            continue;
        w->setProperty(kBase, QRectF(w->geometry()));
        w->setProperty(kShown, w->geometry());
        if (w->testAttribute(Qt::WA_SetFont))
            w->setProperty(kFont, w->font());
        rememberControls(*w);
    }
}

QFont scaled(QFont font, double factor)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, qRound(font.pixelSize() * factor)));
    return font;
}

// Edges are scaled, not sizes, so controls that touch at 100% still touch when zoomed.
QRect scaled(const QRectF &r, double factor)
{
    const int left = qRound(r.left() * factor);
    const int top = qRound(r.top() * factor);
    return {left, top, qRound(r.right() * factor) - left, qRound(r.bottom() * factor) - top};
}

// The place at 100% of a control that was zoomed by `old`: the remembered one while the
// control stands where the last zoom put it, else where it stands now.
QRectF base(const QWidget &w, double old)
{
    if (w.geometry() == w.property(kShown).toRect())
        return w.property(kBase).toRectF();
    const QRectF now(w.geometry());
    return {now.left() / old, now.top() / old, now.width() / old, now.height() / old};
}

} // namespace

int Zoom::snap(int percent)
{
    int best = Steps.front();
    for (int s : Steps) {
        if (std::abs(s - percent) < std::abs(best - percent))
            best = s;
    }
    return best;
}

int Zoom::fromText(const QString &text)
{
    bool ok = false;
    const int percent = text.trimmed().toInt(&ok);
    return ok ? snap(percent) : Standard;
}

int Zoom::step(int percent, int direction)
{
    if (direction == 0)
        return Standard;
    const auto at = std::find(Steps.begin(), Steps.end(), snap(percent));
    if (direction > 0)
        return at + 1 == Steps.end() ? *at : *(at + 1);
    return at == Steps.begin() ? *at : *(at - 1);
}

double Zoom::factor(const QWidget &widget)
{
    const QWidget *window = widget.window();
    const QVariant f = window ? window->property(kFactor) : QVariant();
    return f.isValid() && f.toDouble() > 0 ? f.toDouble() : 1.0;
}

void Zoom::remember(QWidget &window)
{
    window.setProperty(kFactor, 1.0);
    window.setProperty(kBase, QRectF(QPointF(), QSizeF(window.size())));
    window.setProperty(kShown, QRect(QPoint(), window.size()));
    window.setProperty(kFont, window.font());
    rememberControls(window);
}

void Zoom::apply(QWidget &window, int percent)
{
    if (!window.property(kBase).isValid())
        remember(window);
    const double old = factor(window);
    const double f = snap(percent) / 100.0;

    // The window's size: kept at 100% unless something resized it since.
    QSizeF size = window.property(kBase).toRectF().size();
    if (window.size() != window.property(kShown).toRect().size())
        size = QSizeF(window.size()) / old;
    window.setProperty(kFactor, f);
    window.setProperty(kBase, QRectF(QPointF(), size));

    window.setFont(scaled(window.property(kFont).value<QFont>(), f));
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->property(kBase).isValid())
            continue;
        const QRectF at100 = base(*w, old);
        const QRect shown = scaled(at100, f);
        w->setProperty(kBase, at100);
        w->setProperty(kShown, shown);
        w->setGeometry(shown);
        // Own fonts grow with the zoom; the others follow the window's again (a font that
        // was narrowed to fit is refitted by the caller).
        const QVariant own = w->property(kFont);
        w->setFont(own.isValid() ? scaled(own.value<QFont>(), f) : QFont());
    }
    const QSize shownSize(qRound(size.width() * f), qRound(size.height() * f));
    window.setProperty(kShown, QRect(QPoint(), shownSize));
    window.resize(shownSize);
}
