#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <QWidget>

// Loads Slidetape's ticker control at run time and hosts one instance of it.
//
// The library is a Qt plugin found by file name in a list of folders; its metadata must offer
// the class identifier "Slidetape.HorizontalScroller". The control is created through the
// plugin object's invokable create() and reached only by member name (methods, properties and
// signals of its meta-object); no header of the library is included here. A missing or unusable
// library leaves the host without a ticker: load() answers false, warns once, and every call
// below does nothing.
class ScrollerHost : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *ClassId = "Slidetape.HorizontalScroller";
    static constexpr const char *FactoryIid = "org.slidetape.ControlFactory/1.0";

    explicit ScrollerHost(QObject *parent = nullptr);
    ~ScrollerHost() override;

    // The folders searched, in order: $VANTORA_PLUGIN_DIR, the program's folder, ../lib next
    // to it, the installed plugin folder relative to the program, then its absolute path.
    static QStringList defaultSearchDirs();
    // The library's file name on this platform.
    static QString libraryFileName();
    // The first library file found in the folders, without loading it; empty when none.
    static QString locateLibrary(const QStringList &searchDirs = defaultSearchDirs());

    // Finds the library, creates the control as a child of parent named objectName, filling
    // parent and following its size, and binds to it. True when the control is there (also when it
    // already was).
    bool load(QWidget *parent, const QString &objectName = QStringLiteral("Scroller1"),
              const QStringList &searchDirs = defaultSearchDirs());

    bool isLoaded() const { return !m_widget.isNull(); }
    // True once a load attempt has found no usable library.
    bool isMissing() const { return m_missing; }
    QString errorString() const { return m_error; }
    QString libraryPath() const { return m_libraryPath; }
    QWidget *widget() const { return m_widget; }

    // DoScroll(ScrollText, ScrollSpeed, ScrollPause, Override, ScrollDir): 1 scrolls upward.
    bool doScroll(const QString &text, qint16 speed, qint32 holdTime, bool override = false,
                  qint16 direction = 0);
    // PS(Interval): waits while events run. Without a control it returns at once.
    bool ps(qint32 ms);
    bool cls();
    bool refresh();

    // Colours are 0x00BBGGRR values.
    void setForeColor(quint32 color);
    quint32 foreColor() const;
    void setBackColor(quint32 color);
    quint32 backColor() const;
    void setFontBold(bool bold);
    bool fontBold() const;
    void setMousePointer(qint16 pointer);
    qint16 mousePointer() const;
    void setToolTipText(const QString &text);
    void setVisible(bool visible);

    // Any property of the control by name; an invalid QVariant without a control.
    QVariant controlProperty(const char *name) const;
    bool setControlProperty(const char *name, const QVariant &value);

    // The control's saved appearance: the names whose values differ from their defaults.
    QVariantMap saveProperties() const;
    void loadProperties(const QVariantMap &store);

Q_SIGNALS:
    // The control's events, passed on as they come. They repeat the control's own signals
    // (scroller/HorizontalScroller.h) on purpose: the control is a plugin loaded at run time,
    // and the program sees only this host, never the control's headers.
    void Change();
    void Click();
    void DblClick();
    void Hide();
    void KeyDown(short KeyCode, short Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(short KeyCode, short Shift);
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void PropertyChanged(const QString &PropertyName);
    void Error(int Number, const QString &Description);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool fail(const QString &reason);
    QObject *loadFactory(const QStringList &searchDirs);
    bool bind();

    QPointer<QWidget> m_widget;
    QString m_libraryPath;
    QString m_error;
    bool m_missing = false;
    bool m_warned = false;
    int m_doScrollIndex = -1;
    int m_psIndex = -1;
    int m_clsIndex = -1;
    int m_refreshIndex = -1;
    int m_saveIndex = -1;
    int m_loadIndex = -1;
};
