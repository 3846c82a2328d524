#include "common/MainState.h"
#include "grid/ChangeHighlighter.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "screen/Colors.h"

#include <QtTest>

namespace {

const QColor kRise = Colors::fromBgr(Colors::Rise);
const QColor kFall = Colors::fromBgr(Colors::Fall);
constexpr qint32 kGridText = 0x123456;

} // namespace

class TestChangeHighlighter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void colorsByColumn_data();
    void colorsByColumn();
    void nothingWhileSymbolsChanged();
    void resetsAnEarlierColor();
    void arrowsFollowThePercentSign_data();
    void arrowsFollowThePercentSign();
    void keepsAnArrowThatIsAlreadyThere();

private:
    void fillCell(int r, int c, const QString &previous, const QString &current);

    MainState m_state;
    std::unique_ptr<FlexGrid> m_grid;
    std::unique_ptr<ChangeHighlighter> m_highlighter;
};

void TestChangeHighlighter::init()
{
    m_state = MainState();
    m_state.SymbolsChanged = false;
    m_state.GridTextColor = kGridText;
    m_grid = std::make_unique<FlexGrid>();
    m_grid->setCols(13);
    m_grid->setRows(4);
    m_highlighter = std::make_unique<ChangeHighlighter>(m_state, *m_grid);
}

// As the download does it: the tables first, then the current cell, then the colour.
void TestChangeHighlighter::fillCell(int r, int c, const QString &previous, const QString &current)
{
    m_state.PreviousQuotes[r][c] = previous;
    m_state.CurrentQuotes[r][c] = current;
    m_grid->setRow(r);
    m_grid->setCol(c);
    m_highlighter->ColorChangedCell();
    m_grid->setText(current);
}

void TestChangeHighlighter::colorsByColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("current");
    // "none": no colour of its own; "text": the grid's text colour.
    QTest::addColumn<QString>("expected");

    for (int c : {1, 2, 4}) {
        QTest::addRow("col %d rise", c) << c << "10.00"
                                        << "10.01"
                                        << "rise";
        QTest::addRow("col %d fall", c) << c << "10.00"
                                        << "9.99"
                                        << "fall";
        QTest::addRow("col %d same", c) << c << "10.00"
                                        << "10.000"
                                        << "text";
    }
    QTest::newRow("last from N/A") << 4 << "N/A"
                                   << "57.5"
                                   << "rise";
    QTest::newRow("last to N/A") << 4 << "57.5"
                                 << "N/A"
                                 << "fall";
    QTest::newRow("last N/A both") << 4 << "N/A"
                                   << ""
                                   << "text";
    QTest::newRow("day low falls") << 9 << "9.50"
                                   << "9.40"
                                   << "fall";
    QTest::newRow("day low rises") << 9 << "9.50"
                                   << "9.60"
                                   << "text";
    QTest::newRow("day high rises") << 10 << "11.00"
                                    << "11.10"
                                    << "rise";
    QTest::newRow("day high falls") << 10 << "11.00"
                                    << "10.90"
                                    << "text";
    for (int c : {0, 3, 5, 6, 7, 8, 11, 12})
        QTest::addRow("col %d untouched", c) << c << "1"
                                             << "2"
                                             << "none";
}

void TestChangeHighlighter::colorsByColumn()
{
    QFETCH(int, column);
    QFETCH(QString, previous);
    QFETCH(QString, current);
    QFETCH(QString, expected);

    fillCell(2, column, previous, current);
    const QColor color = m_grid->cellForeColor(2, column);
    if (expected == QLatin1String("none"))
        QVERIFY(!color.isValid());
    else if (expected == QLatin1String("text"))
        QCOMPARE(color, Colors::fromBgr(kGridText));
    else
        QCOMPARE(color, expected == QLatin1String("rise") ? kRise : kFall);
    // Only the current cell is touched.
    QVERIFY(!m_grid->cellForeColor(1, column).isValid());
}

void TestChangeHighlighter::nothingWhileSymbolsChanged()
{
    m_state.SymbolsChanged = true;
    for (int c : {1, 2, 4, 9, 10})
        fillCell(1, c, QStringLiteral("1"), QStringLiteral("2"));
    for (int c : {1, 2, 4, 9, 10})
        QVERIFY(!m_grid->cellForeColor(1, c).isValid());
}

void TestChangeHighlighter::resetsAnEarlierColor()
{
    fillCell(1, 4, QStringLiteral("10"), QStringLiteral("11"));
    QCOMPARE(m_grid->cellForeColor(1, 4), kRise);
    fillCell(1, 4, QStringLiteral("11"), QStringLiteral("11"));
    QCOMPARE(m_grid->cellForeColor(1, 4), Colors::fromBgr(kGridText));
    // A rise of the day low clears the fall colour of the download before.
    fillCell(1, 9, QStringLiteral("10"), QStringLiteral("9"));
    fillCell(1, 9, QStringLiteral("9"), QStringLiteral("9.5"));
    QCOMPARE(m_grid->cellForeColor(1, 9), Colors::fromBgr(kGridText));
}

void TestChangeHighlighter::arrowsFollowThePercentSign_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<int>("arrow"); // 0: none

    QTest::newRow("both up") << "+0.50"
                             << "+5.00%" << int(ImageList::ArrowUp);
    QTest::newRow("both down") << "-0.50"
                               << "-5.00%" << int(ImageList::ArrowDown);
    QTest::newRow("percent decides down") << "+0.50"
                                          << "-5.00%" << int(ImageList::ArrowDown);
    QTest::newRow("percent decides up") << "-0.50"
                                        << "+5.00%" << int(ImageList::ArrowUp);
    QTest::newRow("percent unsigned") << "+0.50"
                                      << "0.00%" << 0;
    QTest::newRow("N/A") << "N/A"
                         << "N/A" << 0;
    QTest::newRow("empty") << ""
                           << "" << 0;
}

void TestChangeHighlighter::arrowsFollowThePercentSign()
{
    QFETCH(QString, change);
    QFETCH(QString, percent);
    QFETCH(int, arrow);

    m_grid->setTextMatrix(2, 5, change);
    m_grid->setTextMatrix(2, 6, percent);
    // A stale arrow of the download before.
    m_grid->setCellPicture(2, 12, ImageList::instance().image(ImageList::ArrowUp));
    m_highlighter->HighlightChanges();

    const QPixmap picture = m_grid->cellPicture(2, 12);
    if (arrow == 0)
        QVERIFY(picture.isNull());
    else
        QCOMPARE(picture.cacheKey(), ImageList::instance().image(arrow).cacheKey());

    for (int c : {5, 6}) {
        const QString text = m_grid->textMatrix(2, c);
        const QColor expected = text.startsWith(u'+')   ? kRise
                                : text.startsWith(u'-') ? kFall
                                                        : Colors::fromBgr(kGridText);
        QCOMPARE(m_grid->cellForeColor(2, c), expected);
    }
    // The header row is never touched.
    QVERIFY(!m_grid->cellForeColor(0, 5).isValid());
    QVERIFY(m_grid->cellPicture(0, 12).isNull());
}

void TestChangeHighlighter::keepsAnArrowThatIsAlreadyThere()
{
    const QPixmap up = ImageList::instance().image(ImageList::ArrowUp);
    m_grid->setTextMatrix(1, 5, QStringLiteral("+1"));
    m_grid->setTextMatrix(1, 6, QStringLiteral("+1%"));
    m_highlighter->HighlightChanges();
    m_highlighter->HighlightChanges();
    QCOMPARE(m_grid->cellPicture(1, 12).cacheKey(), up.cacheKey());
    // Rows without a change lose their arrow.
    m_grid->setTextMatrix(1, 5, QString());
    m_grid->setTextMatrix(1, 6, QString());
    m_highlighter->HighlightChanges();
    QVERIFY(m_grid->cellPicture(1, 12).isNull());
}

QTEST_MAIN(TestChangeHighlighter)
#include "tst_changehighlighter.moc"
