#pragma once

#include "slidetape_export.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace Slidetape {

class PropertyBag;
class HorizontalScrollerPrivate;

// The ticker strip. A host hands it one line at a time with DoScroll; the line slides in from
// the right (or up from the bottom), holds at the edge, then slides out. Each pass runs from a
// one-shot slot timer and pumps the event loop between its steps, so the host keeps running
// and passes can nest. Every frame is drawn into an off-screen buffer and copied to the
// visible surface in one block; only the part of the line that the strip shows is laid out as
// a picture, and each frame only moves it, so only the strip's changed pixels are repainted.
// Hiding the control ends its running passes and cancels the ones not yet started; a pass
// also ends early when the control is destroyed and when the program closes.
//
// Programs link the shared library (find_package(Slidetape 1.0), target
// Slidetape::HorizontalScroller, #include <slidetape/HorizontalScroller.h>) and may place the
// control directly; Qt Designer's widget box offers it too.
//
// Hosts that load the control as a plugin bind to it by name only: methods are Q_INVOKABLE,
// properties are Q_PROPERTY, the events are signals; all of them use plain C++ types (short,
// int, uint, float, bool, QString) so that their meta-object signatures are stable, e.g.
//   DoScroll(QString,short,int,bool,short)   PS(int)   MouseDown(short,short,float,float)
class SLIDETAPE_EXPORT HorizontalScroller : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("ClassId", "Slidetape.HorizontalScroller")
    Q_CLASSINFO("Interface", "_HorizontalScroller")
    Q_CLASSINFO("EventInterface", "__HorizontalScroller")
    Q_CLASSINFO("TypeLibrary", "Slidetape")

    Q_PROPERTY(short BorderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
    Q_PROPERTY(
        bool Enabled READ controlEnabled WRITE setControlEnabled NOTIFY controlEnabledChanged)
    Q_PROPERTY(QPixmap MouseIcon READ mouseIcon WRITE setMouseIcon NOTIFY mouseIconChanged)
    Q_PROPERTY(
        short MousePointer READ mousePointer WRITE setMousePointer NOTIFY mousePointerChanged)
    // Designer edits the colours through their QColor twins below.
    Q_PROPERTY(
        uint ForeColor READ foreColor WRITE setForeColor NOTIFY foreColorChanged DESIGNABLE false)
    Q_PROPERTY(
        uint BackColor READ backColor WRITE setBackColor NOTIFY backColorChanged DESIGNABLE false)
    Q_PROPERTY(float CurrentX READ currentX DESIGNABLE false)
    Q_PROPERTY(float CurrentY READ currentY DESIGNABLE false)
    Q_PROPERTY(bool FontTransparent READ fontTransparent CONSTANT DESIGNABLE false)
    Q_PROPERTY(short DrawStyle READ drawStyle CONSTANT DESIGNABLE false)
    Q_PROPERTY(short DrawMode READ drawMode CONSTANT DESIGNABLE false)
    Q_PROPERTY(QFont Font READ bufferFont NOTIFY fontChanged DESIGNABLE false)
    Q_PROPERTY(int WhatsThisHelpID READ whatsThisHelpId WRITE setWhatsThisHelpId NOTIFY
                   whatsThisHelpIdChanged)
    Q_PROPERTY(QString ToolTipText READ toolTipText WRITE setToolTipText NOTIFY toolTipTextChanged)
    Q_PROPERTY(
        uint MaskColor READ maskColor WRITE setMaskColor NOTIFY maskColorChanged DESIGNABLE false)
    Q_PROPERTY(QPixmap MaskPicture READ maskPicture WRITE setMaskPicture NOTIFY maskPictureChanged)
    Q_PROPERTY(short BackStyle READ backStyle WRITE setBackStyle NOTIFY backStyleChanged)
    Q_PROPERTY(QUrl HyperLink READ hyperLink WRITE setHyperLink NOTIFY hyperLinkChanged)
    Q_PROPERTY(
        uint TextColor READ textColor WRITE setTextColor NOTIFY textColorChanged DESIGNABLE false)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold NOTIFY fontChanged)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic NOTIFY fontChanged)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName NOTIFY fontChanged)
    Q_PROPERTY(float FontSize READ fontSize WRITE setFontSize NOTIFY fontChanged)
    Q_PROPERTY(bool FontStrikethru READ fontStrikethru WRITE setFontStrikethru NOTIFY fontChanged)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline NOTIFY fontChanged)

    // The colours as QColor, for Designer, style sheets and bindings. They are the same values
    // as ForeColor, BackColor, MaskColor and TextColor (writing one changes the other).
    Q_PROPERTY(QColor foregroundColor READ foregroundColor WRITE setForegroundColor NOTIFY
                   foreColorChanged)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor NOTIFY
                   backColorChanged)
    Q_PROPERTY(QColor maskQColor READ maskQColor WRITE setMaskQColor NOTIFY maskColorChanged)
    Q_PROPERTY(QColor textQColor READ textQColor WRITE setTextQColor NOTIFY textColorChanged)

    // QWidget's own properties that the ones above stand for: Designer shows each once.
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled DESIGNABLE false)
    Q_PROPERTY(QFont font READ font WRITE setFont DESIGNABLE false)
    Q_PROPERTY(QString toolTip READ toolTip WRITE setToolTip DESIGNABLE false)

public:
    static constexpr int SlotCount = 21;
    // Error numbers and texts raised to the host: a position, a speed or a bound that leaves
    // its range ("Overflow"), a value a property does not take ("Invalid property value").
    static constexpr int OverflowError = 6;
    static constexpr int InvalidPropertyValueError = 380;
    // FontSize keeps within these points; 0 stands for the toolkit's default size.
    static constexpr float MinFontSize = 1.0f;
    static constexpr float MaxFontSize = 500.0f;

    explicit HorizontalScroller(QWidget *parent = nullptr);
    ~HorizontalScroller() override;

    // One line of the strip's font, framed by the border.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Waits Interval ms while the event loop runs, then returns. It returns early when the
    // control is hidden or destroyed meanwhile, or when the program is closing.
    Q_INVOKABLE void PS(int Interval);
    // Requests a pass; returns at once. ScrollDir 1 scrolls upward, anything else leftward.
    // A control that was shown and is now hidden starts no pass.
    Q_INVOKABLE void DoScroll(const QString &ScrollText, short ScrollSpeed, int ScrollPause,
                              bool Override, short ScrollDir = 0);
    // Clears the drawing buffer; the screen keeps its frame until the next copy.
    Q_INVOKABLE void Cls();
    // Repaints the visible strip, which blanks it until the next frame is copied.
    Q_INVOKABLE void Refresh();

    // Persistence through a map, for hosts that bind by name: loadProperties reads the
    // nineteen saved names (missing ones take their defaults), saveProperties answers only the
    // names whose values differ from their defaults.
    Q_INVOKABLE void loadProperties(const QVariantMap &store);
    Q_INVOKABLE QVariantMap saveProperties() const;
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;
    // The saved names, in the order they are read and written.
    static const QStringList &savedPropertyNames();

    // Property accessors. Colours are 0x00BBGGRR values (red in the low byte).
    short borderStyle() const;
    void setBorderStyle(short value);
    // The control's own state: a control inside a disabled window still answers true.
    bool controlEnabled() const;
    void setControlEnabled(bool value);
    QPixmap mouseIcon() const;
    void setMouseIcon(const QPixmap &value);
    short mousePointer() const;
    void setMousePointer(short value);
    uint foreColor() const;
    void setForeColor(uint value);
    uint backColor() const;
    void setBackColor(uint value);
    float currentX() const;
    float currentY() const;
    bool fontTransparent() const { return true; }
    short drawStyle() const { return 0; } // solid lines
    short drawMode() const { return 13; } // copy pen
    QFont bufferFont() const;
    int whatsThisHelpId() const;
    void setWhatsThisHelpId(int value);
    // The setter under the name that forms made in Designer call (set + the property's name).
    void setWhatsThisHelpID(int value) { setWhatsThisHelpId(value); }
    QString toolTipText() const;
    void setToolTipText(const QString &value);
    uint maskColor() const;
    void setMaskColor(uint value);
    QPixmap maskPicture() const;
    void setMaskPicture(const QPixmap &value);
    short backStyle() const;
    void setBackStyle(short value);
    QUrl hyperLink() const;
    void setHyperLink(const QUrl &value);
    uint textColor() const;
    void setTextColor(uint value);
    bool fontBold() const;
    void setFontBold(bool value);
    bool fontItalic() const;
    void setFontItalic(bool value);
    QString fontName() const;
    void setFontName(const QString &value);
    float fontSize() const;
    // Sizes above MaxFontSize become MaxFontSize, sizes between 0 and MinFontSize become
    // MinFontSize; 0 (or less) asks for the toolkit's default size.
    void setFontSize(float value);
    bool fontStrikethru() const;
    void setFontStrikethru(bool value);
    bool fontUnderline() const;
    void setFontUnderline(bool value);

    QColor foregroundColor() const;
    void setForegroundColor(const QColor &value);
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor &value);
    QColor maskQColor() const;
    void setMaskQColor(const QColor &value);
    QColor textQColor() const;
    void setTextQColor(const QColor &value);

Q_SIGNALS:
    // The ten events, in interface order. Change is raised whenever the buffer or the visible
    // strip changes its contents: every frame of a pass, Cls and Refresh.
    void Change();
    void Click();
    void DblClick();
    void Hide();
    void KeyDown(short KeyCode, short Shift);
    // The character's full code (beyond 16 bits for characters outside the basic plane).
    void KeyPress(int KeyAscii);
    void KeyUp(short KeyCode, short Shift);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);

    // A property was written; its saved state in the host is out of date.
    void PropertyChanged(const QString &PropertyName);
    // A property write was refused (InvalidPropertyValueError) or a pass ended early on a
    // run-time error (OverflowError).
    void Error(int Number, const QString &Description);

    // Change notifications of the properties, raised only when a value really changes (also
    // by loadProperties and by palette and font changes of the widget).
    void borderStyleChanged();
    void controlEnabledChanged();
    void mouseIconChanged();
    void mousePointerChanged();
    void foreColorChanged();
    void backColorChanged();
    void fontChanged();
    void whatsThisHelpIdChanged();
    void toolTipTextChanged();
    void maskColorChanged();
    void maskPictureChanged();
    void backStyleChanged();
    void hyperLinkChanged();
    void textColorChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class HorizontalScrollerPrivate;
    const std::unique_ptr<HorizontalScrollerPrivate> d;
};

} // namespace Slidetape
