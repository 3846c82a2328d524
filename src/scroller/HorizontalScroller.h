#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QEventLoop;
class QTimer;

namespace Slidetape {

class PropertyBag;
class ScrollerProbe;
class ScrollerSurface;

// The ticker strip. A host hands it one line at a time with DoScroll; the line slides in from
// the right (or up from the bottom), holds at the edge, then slides out. Each pass runs from a
// one-shot slot timer and pumps the event loop between its steps, so the host keeps running
// and passes can nest. Every frame is drawn into an off-screen buffer and copied to the
// visible surface in one block; the line is laid out once as a picture and each frame only
// moves it, so only the strip's changed pixels are repainted. A pass ends early when the
// control is hidden or destroyed and when the program closes.
//
// Forms can place the control directly (Qt Designer's widget box offers it; link the
// Slidetape::HorizontalScroller target and include <slidetape/HorizontalScroller.h>).
//
// Hosts bind to this class by name only: methods are Q_INVOKABLE, properties are Q_PROPERTY,
// the events are signals; all of them use plain C++ types (short, int, uint, float, bool,
// QString) so that their meta-object signatures are stable, e.g.
//   DoScroll(QString,short,int,bool,short)   PS(int)   MouseDown(short,short,float,float)
class HorizontalScroller : public QWidget
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
    Q_PROPERTY(uint ForeColor READ foreColor WRITE setForeColor NOTIFY foreColorChanged)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor NOTIFY backColorChanged)
    Q_PROPERTY(float CurrentX READ currentX)
    Q_PROPERTY(float CurrentY READ currentY)
    Q_PROPERTY(bool FontTransparent READ fontTransparent CONSTANT)
    Q_PROPERTY(short DrawStyle READ drawStyle CONSTANT)
    Q_PROPERTY(short DrawMode READ drawMode CONSTANT)
    Q_PROPERTY(QFont Font READ bufferFont NOTIFY fontChanged)
    Q_PROPERTY(int WhatsThisHelpID READ whatsThisHelpId WRITE setWhatsThisHelpId NOTIFY
                   whatsThisHelpIdChanged)
    Q_PROPERTY(QString ToolTipText READ toolTipText WRITE setToolTipText NOTIFY toolTipTextChanged)
    Q_PROPERTY(uint MaskColor READ maskColor WRITE setMaskColor NOTIFY maskColorChanged)
    Q_PROPERTY(QPixmap MaskPicture READ maskPicture WRITE setMaskPicture NOTIFY maskPictureChanged)
    Q_PROPERTY(short BackStyle READ backStyle WRITE setBackStyle NOTIFY backStyleChanged)
    Q_PROPERTY(QUrl HyperLink READ hyperLink WRITE setHyperLink NOTIFY hyperLinkChanged)
    Q_PROPERTY(uint TextColor READ textColor WRITE setTextColor NOTIFY textColorChanged)
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

public:
    static constexpr int SlotCount = 21;
    // Error number and text raised when a position, a speed or a bound leaves its range.
    static constexpr int OverflowError = 6;

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
    bool controlEnabled() const { return isEnabled(); }
    void setControlEnabled(bool value);
    QPixmap mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap &value);
    short mousePointer() const { return m_mousePointer; }
    void setMousePointer(short value);
    uint foreColor() const { return m_foreColor; }
    void setForeColor(uint value);
    uint backColor() const { return m_backColor; }
    void setBackColor(uint value);
    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }
    bool fontTransparent() const { return true; }
    short drawStyle() const { return 0; } // solid lines
    short drawMode() const { return 13; } // copy pen
    QFont bufferFont() const { return m_font; }
    int whatsThisHelpId() const;
    void setWhatsThisHelpId(int value);
    QString toolTipText() const;
    void setToolTipText(const QString &value);
    uint maskColor() const { return m_mMaskColor; }
    void setMaskColor(uint value);
    QPixmap maskPicture() const { return m_mMaskPicture; }
    void setMaskPicture(const QPixmap &value);
    short backStyle() const { return m_mBackStyle; }
    void setBackStyle(short value);
    QUrl hyperLink() const { return m_mHyperLink; }
    void setHyperLink(const QUrl &value);
    uint textColor() const { return m_mTextColor; }
    void setTextColor(uint value);
    bool fontBold() const { return m_font.bold(); }
    void setFontBold(bool value);
    bool fontItalic() const { return m_font.italic(); }
    void setFontItalic(bool value);
    QString fontName() const { return m_fontName; }
    void setFontName(const QString &value);
    float fontSize() const { return m_fontSize; }
    void setFontSize(float value);
    bool fontStrikethru() const { return m_font.strikeOut(); }
    void setFontStrikethru(bool value);
    bool fontUnderline() const { return m_font.underline(); }
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
    void KeyPress(short KeyAscii);
    void KeyUp(short KeyCode, short Shift);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);

    // A property was written; its saved state in the host is out of date.
    void PropertyChanged(const QString &PropertyName);
    // A pass ended early on a run-time error (OverflowError when a position, speed or bound
    // left its range).
    void Error(int Number, const QString &Description);

    // Change notifications of the properties (also after loadProperties).
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class ScrollerProbe;
    using TickSource = std::function<quint32()>;

    enum class PassEnd
    {
        Finished,
        Overflow,
        Stopped,
        Destroyed
    };
    enum class WaitEnd
    {
        Elapsed,
        Stopped,
        Destroyed
    };

    void onSlotFired(int slot);
    PassEnd ScrollLeft(int slot);
    PassEnd ScrollUp(int slot);
    // One frame, one step of the position and the 20 ms wait; a value when the pass must end.
    std::optional<PassEnd> step(int slot, quint64 epoch, short &position);
    // Draws one frame; false when the control was destroyed while events were pumped.
    bool DrawFrame();
    // Waits interval ms while events run; passes started before the control was hidden (the
    // given epoch) end early.
    WaitEnd pause(int interval, quint64 epoch);
    PassEnd overflow(int slot);
    PassEnd stopped(int slot);
    // Ends every running pass and wait at its next step.
    void stopPasses();
    bool hiddenByHost() const;
    void layoutInner();
    void layoutLine();
    void applyFont();
    // The font changed: the size hints follow it.
    void fontUpdated();
    void applyCursor();
    void changed(const char *name);

    ScrollerSurface *m_draw = nullptr;
    ScrollerProbe *m_probe = nullptr;
    QImage m_backB;
    std::array<QTimer *, SlotCount> m_STimer{};
    std::array<bool, SlotCount> m_slotEnabled{};
    TickSource m_tickSource;

    QString m_mScrollText;
    short m_mScrollSpeed = 0;
    int m_mScrollPause = 0;
    short m_mVertical = 0;
    bool m_mBusy = false;
    short m_mX = 0;
    short m_mY = 0;

    // Stopping: passes and waits compare the epoch they started in with this one.
    quint64 m_epoch = 0;
    QList<QEventLoop *> m_waits;
    int m_runningPasses = 0;
    bool m_shownOnce = false;

    // The line as a picture, laid out once per text, font, colours and pixel ratio; each
    // frame only copies it.
    struct LinePicture
    {
        QImage image;
        QString text;
        QFont font;
        uint fore = 0;
        uint back = 0;
        qreal ratio = 0;
        int ascent = 0;
        bool direct = false; // too wide to keep: drawn as text each frame
    } m_line;
    int m_lineLayouts = 0;
    // Where the buffer and the screen hold ink, in pixels of the strip; the next copy
    // repaints only their union.
    QRect m_bufferInk;
    uint m_bufferBack = 0;
    QRect m_screenInk;
    uint m_screenBack = 0;
    bool m_screenValid = false;

    // What the buffer holds now, reported with each copied frame.
    QString m_drawnText;
    QPoint m_drawnAt;

    uint m_foreColor = 0xBBBBBB;
    uint m_backColor = 0x585858;
    float m_currentX = 0;
    float m_currentY = 0;
    QFont m_font;
    QString m_fontName;
    float m_fontSize = 0;
    short m_mousePointer = 0;
    QPixmap m_mouseIcon;

    uint m_mMaskColor = 0;
    QPixmap m_mMaskPicture;
    short m_mBackStyle = 0;
    QUrl m_mHyperLink;
    uint m_mTextColor = 0;

    bool m_clickArmed = false;
};

} // namespace Slidetape
