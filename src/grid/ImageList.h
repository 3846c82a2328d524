#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QVector>

#include <functional>

class QLabel;
class QPainter;
class QRectF;
class QWidget;

// The main window's image list: small pictures drawn with QPainter when first asked for.
// Indices are 1-based; an index outside 1..count() gives a null picture.
//
//  index  size     picture                                       used for
//  1      32 x 16  open book on a blue button                    picIslandButton
//  2      16 x 16  arrows pointing outward                       picMaxWide: widen the window
//  3      16 x 16  arrows pointing inward                        picMaxWide: narrow the window
//  4       9 x  9  red-orange arrow down                         quote grid "Name": change < 0
//  5       9 x  9  bright green arrow up                         quote grid "Name": change > 0
//  6      16 x 16  button with a triangle pointing down          picMoveDown; picTickerSize in
//                                                                browser mode
//  7      16 x 16  button with a triangle pointing up            picMoveUp; picTickerSize in
//                                                                ticker mode
//  8     670 x 534 window skin of ticker mode (10050 x 8010 twips)  window background
//  9     803 x 140 window skin of browser mode (12045 x 2095 twips) window background
//  10     13 x 13  ticked box                                    symbol row is logged
//  11     13 x 13  empty box                                     symbol row is not logged
//  12     14 x 14  small window with a bar at its foot           picControlBox (hide to tray)
//  13     16 x 16  pocket calculator                             picCalc, picOptionsCalc
//
// Sizes are pixels at 96 dpi.
class ImageList
{
public:
    enum Index
    {
        IslandButton = 1,
        WidenWindow = 2,
        NarrowWindow = 3,
        ArrowDown = 4,
        ArrowUp = 5,
        ButtonDown = 6,
        ButtonUp = 7,
        TickerSkin = 8,
        BrowserSkin = 9,
        BoxTicked = 10,
        BoxEmpty = 11,
        ControlBox = 12,
        Calculator = 13
    };

    static const ImageList &instance();

    int count() const { return int(m_images.size()); }

    // The picture at a 1-based index; a null pixmap outside 1..count(). Needs a
    // QGuiApplication, as every QPixmap does. An index always gives the same pixmap (same
    // cacheKey()), so a picture put into a cell can be recognised again by its key.
    QPixmap image(int oneBasedIndex) const;

    // The picture drawn `scale` times its size for a screen of the given device pixel
    // ratio, from its shapes, so it is as sharp as at its own size. Scale 1 at ratio 1 is
    // image(index); the others are kept once drawn.
    QPixmap image(int oneBasedIndex, double scale, double devicePixelRatio) const;

    // Shows the picture in the label at the zoom of the label's window and the ratio of
    // its screen, and remembers which picture it is, for showAgain().
    static void show(QLabel &label, int oneBasedIndex);
    // Draws the pictures that show() put into labels of the window again, for a new zoom.
    static void showAgain(QWidget &window);

    // The same picture as an image (no application needed); null outside 1..count().
    QImage toImage(int oneBasedIndex) const;

    // The size of the picture at an index; an empty size outside 1..count().
    QSize size(int oneBasedIndex) const;

private:
    ImageList();

    // Kept as images, which may outlive the application object; the pixmaps are made on
    // first use and let go when the application object goes.
    QVector<QImage> m_images;
    QVector<std::function<void(QPainter &, const QRectF &)>> m_drawings;
    mutable QVector<QPixmap> m_pixmaps;
    mutable QHash<QString, QPixmap> m_scaled;
};
