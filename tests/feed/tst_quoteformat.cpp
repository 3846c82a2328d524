#include "feed/QuoteFormat.h"
#include "feed/QuoteSource.h"

#include <QtTest>

class TestQuoteFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesFieldCodes_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("delayed") << "spelcvomrn=.csv"
                                 << QStringList{"s", "p", "e", "l", "c", "v", "o", "m", "r", "n"};
        QTest::newRow("real time")
            << "sb3b2k1k2vom2r2n=.csv"
            << QStringList{"s", "b3", "b2", "k1", "k2", "v", "o", "m2", "r2", "n"};
        QTest::newRow("index") << "nk1k2=.csv" << QStringList{"n", "k1", "k2"};
        QTest::newRow("no suffix") << "sl1" << QStringList{"s", "l1"};
        QTest::newRow("stray characters") << "s-1l1 " << QStringList{"s", "l1"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("only suffix") << "=.csv" << QStringList{};
    }
    void parsesFieldCodes()
    {
        QFETCH(QString, codes);
        QFETCH(QStringList, expected);
        QCOMPARE(QuoteFormat::parseFieldCodes(codes), expected);
    }

    void formatsNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("withSign");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("price") << 57.67 << 2 << false << QByteArray("57.67");
        QTest::newRow("rise") << 0.86 << 2 << true << QByteArray("+0.86");
        QTest::newRow("fall") << -0.52 << 2 << true << QByteArray("-0.52");
        QTest::newRow("no change") << 0.0 << 2 << true << QByteArray("0.00");
        QTest::newRow("tiny fall is no change") << -0.001 << 2 << true << QByteArray("0.00");
        QTest::newRow("whole") << 1054320.0 << 0 << false << QByteArray("1054320");
        QTest::newRow("no digit grouping") << 10432.125 << 2 << false << QByteArray("10432.13");
    }
    void formatsNumbers()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(bool, withSign);
        QFETCH(QByteArray, expected);
        QCOMPARE(QuoteFormat::number(value, decimals, withSign), expected);
    }

    void formatsTradeTime_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("opening") << QTime(9, 30) << QByteArray("9:30am");
        QTest::newRow("afternoon") << QTime(15, 17, 45) << QByteArray("3:17pm");
        QTest::newRow("noon") << QTime(12, 5) << QByteArray("12:05pm");
        QTest::newRow("midnight") << QTime(0, 0) << QByteArray("12:00am");
        QTest::newRow("close") << QTime(16, 0) << QByteArray("4:00pm");
    }
    void formatsTradeTime()
    {
        QFETCH(QTime, time);
        QFETCH(QByteArray, expected);
        QCOMPARE(QuoteFormat::tradeTimeText(time), expected);
    }

    void echoesOnlySymbolCharacters_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lower case") << "xyzq"
                                    << "XYZQ";
        QTest::newRow("index") << "^tv.n"
                               << "^TV.N";
        QTest::newRow("quote and comma-free") << "a\"b"
                                              << "AB";
        QTest::newRow("markup") << "<b>x</b>"
                                << "BXB";
        QTest::newRow("line break") << "ab\r\ncd"
                                    << "ABCD";
        QTest::newRow("spaces") << "a b"
                                << "AB";
        QTest::newRow("long") << QString(40, u'k') << QString(16, u'K');
        QTest::newRow("non-latin") << QString::fromUtf8("ÄB") << "B";
    }
    void echoesOnlySymbolCharacters()
    {
        QFETCH(QString, requested);
        QFETCH(QString, expected);
        QCOMPARE(QuoteFormat::echoSymbol(requested), expected);
    }

    void knownLineHasRequestedAndTrailingFields()
    {
        SimulatedMarket market(9);
        const MarketQuote &ibm = *market.find(u"ibm");
        const QByteArray line =
            QuoteFormat::quoteLine(ibm, QuoteFormat::parseFieldCodes(u"sl1z9"), QTime(10, 0));
        const QList<QByteArray> fields = line.chopped(2).split(',');
        QCOMPARE(fields.size(), 3 + QuoteFormat::kTrailingFields);
        QCOMPARE(fields.at(0), QByteArray("\"IBM\""));
        QCOMPARE(fields.at(1), QuoteFormat::number(ibm.last, 2));
        QCOMPARE(fields.at(2), QByteArray("N/A")); // a code the service does not know
        QVERIFY(line.endsWith("\r\n"));
    }

    void queryValueDecodesAndKeepsEqualsSigns_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("template") << "f=spelcvomrn=.csv&s=msft,"
                                  << "f"
                                  << "spelcvomrn=.csv";
        QTest::newRow("symbols") << "f=spelcvomrn=.csv&s=msft,ibm,"
                                 << "s"
                                 << "msft,ibm,";
        QTest::newRow("encoded caret") << "f=nk1k2=.csv&s=%5Edji"
                                       << "s"
                                       << "^dji";
        QTest::newRow("plain caret") << "f=nk1k2=.csv&s=^dji"
                                     << "s"
                                     << "^dji";
        QTest::newRow("missing") << "f=x"
                                 << "s"
                                 << "";
        QTest::newRow("index page") << "u"
                                    << "u"
                                    << "";
    }
    void queryValueDecodesAndKeepsEqualsSigns()
    {
        QFETCH(QString, query);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        FeedRequest request;
        request.query = query;
        QCOMPARE(request.queryValue(key), expected);
    }

    void oversizedBodyHasTheAskedSize()
    {
        for (qint64 size : {qint64(0), qint64(10), qint64(1024 * 1024), qint64(1024 * 1024 + 1)})
            QCOMPARE(FeedReply::oversized(size).body.size(), size);
    }
};

QTEST_GUILESS_MAIN(TestQuoteFormat)
#include "tst_quoteformat.moc"
