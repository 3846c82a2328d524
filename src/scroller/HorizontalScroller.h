#pragma once

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <functional>

class QTimer;

namespace Slidetape {

class PropertyBag;
class ScrollerSurface;

// The ticker strip. A host hands it one line at a time with DoScroll; the line slides in from
// the right (or up from the bottom), holds at the edge, then slides out. Each pass runs from a
// one-shot slot timer and pumps the event loop between its steps, so the host keeps running
// and passes can nest. Every frame is drawn into an off-screen buffer and copied to the
// visible surface in one block.
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

    Q_PROPERTY(short BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool Enabled READ controlEnabled WRITE setControlEnabled)
    Q_PROPERTY(QPixmap MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(short MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(uint ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(float CurrentX READ currentX)
    Q_PROPERTY(float CurrentY READ currentY)
    Q_PROPERTY(bool FontTransparent READ fontTransparent)
    Q_PROPERTY(short DrawStyle READ drawStyle)
    Q_PROPERTY(short DrawMode READ drawMode)
    Q_PROPERTY(QFont Font READ bufferFont)
    Q_PROPERTY(int WhatsThisHelpID READ whatsThisHelpId WRITE setWhatsThisHelpId)
    Q_PROPERTY(QString ToolTipText READ toolTipText WRITE setToolTipText)
    Q_PROPERTY(uint MaskColor READ maskColor WRITE setMaskColor)
    Q_PROPERTY(QPixmap MaskPicture READ maskPicture WRITE setMaskPicture)
    Q_PROPERTY(short BackStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(QUrl HyperLink READ hyperLink WRITE setHyperLink)
    Q_PROPERTY(uint TextColor READ textColor WRITE setTextColor)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(float FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool FontStrikethru READ fontStrikethru WRITE setFontStrikethru)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline)

public:
    static constexpr int SlotCount = 21;
    // Error number and text raised when a position, a speed or a bound leaves its range.
    static constexpr int OverflowError = 6;

    enum PassPhase
    {
        Enter,
        Hold,
        Leave,
        Done,
        Aborted
    };
    Q_ENUM(PassPhase)

    // A wrapping 32-bit millisecond counter; replaceable so that a wrap can be tested.
    using TickSource = std::function<quint32()>;
    static quint32 systemTickCount();

    explicit HorizontalScroller(QWidget *parent = nullptr);
    ~HorizontalScroller() override;

    QSize sizeHint() const override { return QSize(400, 20); }

    // Waits Interval ms while the event loop runs, then returns.
    Q_INVOKABLE void PS(int Interval);
    // Requests a pass; returns at once. ScrollDir 1 scrolls upward, anything else leftward.
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

    void setTickSource(TickSource source);

    // Engine state, for the benchmark and tests.
    bool isBusy() const { return m_mBusy; }
    short scrollX() const { return m_mX; }
    short scrollY() const { return m_mY; }
    QString scrollText() const { return m_mScrollText; }
    short scrollSpeed() const { return m_mScrollSpeed; }
    int scrollPause() const { return m_mScrollPause; }
    bool scrollsUpward() const { return m_mVertical == 1; }
    int enabledSlotCount() const;
    const QImage &buffer() const { return m_backB; }
    ScrollerSurface *surface() const { return m_draw; }

    // Property accessors.
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

Q_SIGNALS:
    // The ten events, in interface order.
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

    // A frame reached the screen: the text and position last drawn into the buffer.
    void frameShown(const QString &text, int x, int y);
    // A pass of the given slot entered a phase.
    void passPhase(int slot, Slidetape::HorizontalScroller::PassPhase phase);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class PassEnd
    {
        Finished,
        Overflow,
        Destroyed
    };

    void onSlotFired(int slot);
    PassEnd ScrollLeft(int slot);
    PassEnd ScrollUp(int slot);
    // Draws one frame; false when the control was destroyed while events were pumped.
    bool DrawFrame();
    // PS for the engine; false when the control was destroyed during the wait.
    bool pause(int interval);
    PassEnd overflow(int slot);
    void layoutInner();
    void applyFont();
    void applyCursor();
    void changed(const char *name);

    ScrollerSurface *m_draw = nullptr;
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
