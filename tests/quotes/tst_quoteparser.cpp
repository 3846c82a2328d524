#include "feed/Instruments.h"
#include "feed/MarketSource.h"
#include "quotes/QuoteParser.h"

#include <QtTest>

using QuoteParser::nextQuoteLine;
using QuoteParser::splitColumns;

namespace {

const QString kDelayedCodes = QStringLiteral("spelcvomrn=.csv");
const QString kRealTimeCodes = QStringLiteral("sb3b2k1k2vom2r2n=.csv");

QString columnsText(const QuoteParser::QuoteColumns &columns)
{
    QStringList list(columns.begin(), columns.end());
    return list.join(u'|');
}

} // namespace

class TestQuoteParser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleansOneLine_data();
    void cleansOneLine();
    void consumesLinesInOrder();
    void splitsIntoThirteenColumns_data();
    void splitsIntoThirteenColumns();
    void feedAnswersGiveThirteenColumns_data();
    void feedAnswersGiveThirteenColumns();
    void unknownSymbolKeepsItsRow();
    void notQuoteText_data();
    void notQuoteText();
};

void TestQuoteParser::cleansOneLine_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("rest");

    QTest::newRow("delayed line")
        << QStringLiteral("\"MSFT\",56.81,2.10,\"3:17pm - <b>57.67</b>\",\"+0.86 - +1.51%\","
                          "25042156,57.51,\"57.08 - 57.68\",27.46,\"Microsoft Corporation\","
                          "0.32,0.56,\"NasdaqNM\",1,2,3\r\n")
        << QStringLiteral("MSFT\t56.81\t2.10\t3:17pm\t57.67\t+0.86\t+1.51%\t25042156\t57.51\t"
                          "57.08\t57.68\t27.46\tMicrosoft Corporation")
        << QStringLiteral("\n");
    QTest::newRow("second line stays, LF in front")
        << QStringLiteral("A,1,2,3,4,5,6,7,8,9\r\nB,1\r\n") << QStringLiteral("A\t1\t2\t3")
        << QStringLiteral("\nB,1\r\n");
    QTest::newRow("no CR LF at all") << QStringLiteral("  \"MSFT\",56.81,2.10  ") << QString()
                                     << QStringLiteral("MSFT,56.81,2.10");
    QTest::newRow("LF alone is no line end")
        << QStringLiteral("A,1,2,3,4,5,6,7\nB,1,2,3,4,5,6,7\n") << QString()
        << QStringLiteral("A,1,2,3,4,5,6,7\nB,1,2,3,4,5,6,7\n");
    QTest::newRow("six tabs keep the first field")
        << QStringLiteral("IBM,1,2,3,4,5,6\r\n") << QStringLiteral("IBM") << QStringLiteral("\n");
    QTest::newRow("fewer than six tabs keep the first field")
        << QStringLiteral("IBM,1,2\r\n") << QStringLiteral("IBM") << QStringLiteral("\n");
    QTest::newRow("seven tabs keep two fields") << QStringLiteral("IBM,1,2,3,4,5,6,7\r\n")
                                                << QStringLiteral("IBM\t1") << QStringLiteral("\n");
    QTest::newRow("empty trailing fields still count")
        << QStringLiteral("\"IBM\",1,2,\"t - <b>3</b>\",\"+1 - +2%\",5,6,\"7 - 8\",9,"
                          "\"Intl Business\",,,,,,\r\n")
        << QStringLiteral("IBM\t1\t2\tt\t3\t+1\t+2%\t5\t6\t7\t8\t9\tIntl Business")
        << QStringLiteral("\n");
    // Only spaces are trimmed: the tab before the CR ends one more (empty) field, so one
    // more real field is kept.
    QTest::newRow("tab before the line end is a field")
        << QStringLiteral("A,1,2,3,4,5,6,7,8\t\r\n") << QStringLiteral("A\t1\t2\t3")
        << QStringLiteral("\n");
    QTest::newRow("spaces before the line end are trimmed")
        << QStringLiteral("A,1,2,3,4,5,6,7,8  \r\n") << QStringLiteral("A\t1\t2")
        << QStringLiteral("\n");
    QTest::newRow("italics and non-breaking space")
        << QStringLiteral("\"DELL\",N/A,N/A,\"<i>N/A</i> - <b>0.00</b>\",\"N/A - N/A\",N/A,N/A,"
                          "\"N/A - N/A\",N/A,\"Dell&nbsp;Computer\",a,b,c,d,e,f\r\n")
        << QStringLiteral("DELL\tN/A\tN/A\tN/A\t0.00\tN/A\tN/A\tN/A\tN/A\tN/A\tN/A\tN/A\t"
                          "DellComputer")
        << QStringLiteral("\n");
    QTest::newRow("markup at the ends is trimmed away")
        << QStringLiteral("&nbsp; X,1,2,3,4,5,6,7,8 <b>\r\n") << QStringLiteral("X\t1\t2")
        << QStringLiteral("\n");
    QTest::newRow("spaces trimmed before the line is cut")
        << QStringLiteral("   \"CSCO\",1,2,3,4,5,6,7\r\n  ") << QStringLiteral("CSCO\t1")
        << QStringLiteral("\n");
    QTest::newRow("a CR alone does not end the line")
        << QStringLiteral("A,1\r2,3,4,5,6,7,8\r\nB") << QStringLiteral("A\t12")
        << QStringLiteral("\nB");
    // Markup is removed once, left to right: what the removal joins stays.
    QTest::newRow("markup joined by a removal stays")
        << QStringLiteral("<<b>b>X - - -Y,1,2,3,4,5,6,7\r\n") << QStringLiteral("<b>X\t- -Y\t1")
        << QStringLiteral("\n");
    QTest::newRow("empty reply") << QString() << QString() << QString();
}

void TestQuoteParser::cleansOneLine()
{
    QFETCH(QString, reply);
    QFETCH(QString, line);
    QFETCH(QString, rest);
    QCOMPARE(nextQuoteLine(reply), line);
    QCOMPARE(reply, rest);
}

void TestQuoteParser::consumesLinesInOrder()
{
    QString reply = QStringLiteral("\"A\",1,2,3,4,5,6,7\r\n\"B\",1,2,3,4,5,6,7\r\n"
                                   "\"C\",1,2,3,4,5,6,7\r\n");
    QCOMPARE(nextQuoteLine(reply), QStringLiteral("A\t1"));
    QCOMPARE(nextQuoteLine(reply), QStringLiteral("B\t1"));
    QCOMPARE(nextQuoteLine(reply), QStringLiteral("C\t1"));
    // Fewer lines than symbols: the rows after the answer get empty fields.
    QCOMPARE(nextQuoteLine(reply), QString());
    QCOMPARE(nextQuoteLine(reply), QString());
}

void TestQuoteParser::splitsIntoThirteenColumns_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("columns");
    QTest::newRow("thirteen") << QStringLiteral("a\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl\tm")
                              << QStringLiteral("a|b|c|d|e|f|g|h|i|j|k|l|m");
    QTest::newRow("missing fields are empty")
        << QStringLiteral("MSFT\t1") << QStringLiteral("MSFT|1|||||||||||");
    QTest::newRow("empty line") << QString() << QStringLiteral("||||||||||||");
    QTest::newRow("extra fields dropped")
        << QStringLiteral("a\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl\tm\tn\to")
        << QStringLiteral("a|b|c|d|e|f|g|h|i|j|k|l|m");
    QTest::newRow("empty fields in between")
        << QStringLiteral("a\t\tc") << QStringLiteral("a||c||||||||||");
    // A comma inside a quoted name splits it: the later columns shift.
    QString withComma = QStringLiteral("\"T\",1,2,\"a - <b>3</b>\",\"+1 - +2%\",5,6,\"7 - 8\",9,"
                                       "\"AT&T, Inc.\",a,b,c,d,e,f\r\n");
    QTest::newRow("comma in a name")
        << nextQuoteLine(withComma) << QStringLiteral("T|1|2|a|3|+1|+2%|5|6|7|8|9|AT&T");
}

void TestQuoteParser::splitsIntoThirteenColumns()
{
    QFETCH(QString, line);
    QFETCH(QString, columns);
    QCOMPARE(columnsText(splitColumns(line)), columns);
}

void TestQuoteParser::feedAnswersGiveThirteenColumns_data()
{
    QTest::addColumn<QString>("codes");
    QTest::newRow("delayed") << kDelayedCodes;
    QTest::newRow("real time") << kRealTimeCodes;
}

void TestQuoteParser::feedAnswersGiveThirteenColumns()
{
    QFETCH(QString, codes);
    MarketSource source(7);
    QStringList symbols;
    for (const Instrument &in : stockInstruments())
        symbols.append(QString::fromLatin1(in.symbol).toLower());
    QString reply = QString::fromLatin1(source.quotes(codes, QString(symbols.join(u',') + u',')));

    for (const Instrument &in : stockInstruments()) {
        const QuoteParser::QuoteColumns col = splitColumns(nextQuoteLine(reply));
        const QString all = columnsText(col);
        QCOMPARE(col[0], QString::fromLatin1(in.symbol));
        QCOMPARE(col[12], QString::fromLatin1(in.name));
        for (int c = 0; c < 12; ++c)
            QVERIFY2(!col[c].isEmpty() && !col[c].contains(u' ') && !col[c].contains(u'<'),
                     qPrintable(all));
        QVERIFY2(col[4].toDouble() > 0, qPrintable(all));
        QVERIFY2(col[6].endsWith(u'%'), qPrintable(all));
        QVERIFY2(col[9].toDouble() <= col[10].toDouble(), qPrintable(all));
    }
    QCOMPARE(nextQuoteLine(reply), QString());
}

void TestQuoteParser::unknownSymbolKeepsItsRow()
{
    MarketSource source(7);
    QString reply = QString::fromLatin1(source.quotes(kDelayedCodes, u"zzzz,msft,"));
    const QuoteParser::QuoteColumns unknown = splitColumns(nextQuoteLine(reply));
    QCOMPARE(unknown[0].toUpper(), QStringLiteral("ZZZZ"));
    QCOMPARE(unknown[4], QStringLiteral("N/A"));
    const QuoteParser::QuoteColumns known = splitColumns(nextQuoteLine(reply));
    QCOMPARE(known[0], QStringLiteral("MSFT"));
}

void TestQuoteParser::notQuoteText_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<bool>("quoteText");
    QTest::newRow("answer line") << "\"MSFT\",56.81,\"3:17pm - <b>57.67</b>\"\r\n"
                                 << "text/plain" << true;
    QTest::newRow("html by its type") << "MSFT,1\r\n"
                                      << "text/html; charset=utf-8" << false;
    QTest::newRow("html by its first character") << "  \r\n<!DOCTYPE html><p>consent</p>\r\n"
                                                 << "" << false;
    QTest::newRow("binary") << QString::fromLatin1("MSFT\x01\x02,1\r\n", 10) << "" << false;
    QTest::newRow("NUL") << QString(QChar(0)) << "" << false;
}

void TestQuoteParser::notQuoteText()
{
    QFETCH(QString, reply);
    QFETCH(QString, contentType);
    QFETCH(bool, quoteText);
    QCOMPARE(QuoteParser::isQuoteText(reply, contentType), quoteText);
}

QTEST_GUILESS_MAIN(TestQuoteParser)
#include "tst_quoteparser.moc"
