#include "AnswerCleaning.h"
#include "BrowserPages.h"
#include "FeedConfig.h"
#include "MarketSource.h"
#include "QuoteFormat.h"

#include <QRegularExpression>
#include <QtTest>

using namespace AnswerCleaning;

namespace {

const QString kDelayed = QStringLiteral("spelcvomrn=.csv");
const QString kRealTime = QStringLiteral("sb3b2k1k2vom2r2n=.csv");
const QString kIndex = QStringLiteral("nk1k2=.csv");

// The 42 index symbols of the ticker's boxes, in box order.
const QStringList kIndexSymbols = {"^DJI", "^DJA",  "^DJT",  "^DJU",   "^GSPC",  "^OEX",  "^MID",
                                   "^SML", "^XAX",  "^IIX",  "^NWX",   "^NYA",   "^TV.N", "^NFA",
                                   "^NDA", "^NNA",  "^NHB",  "^TIC.N", "^STI.N", "^RUI",  "^RUT",
                                   "^RUA", "^IXIC", "^TV.O", "^NDX",   "^IXBK",  "^IXFN", "^IXF",
                                   "^IXQ", "^IXID", "^IXIS", "^IXK",   "^IXTR",  "^IXUT", "^NBI",
                                   "^TYX", "^TNX",  "^FVX",  "^IRX",   "^DJS",   "^DJC",  "^XAU"};

FeedReply get(MarketSource &source, const QString &pathAndQuery)
{
    FeedRequest request;
    request.method = "GET";
    const qsizetype q = pathAndQuery.indexOf(u'?');
    request.path = q < 0 ? pathAndQuery : pathAndQuery.left(q);
    request.query = q < 0 ? QString() : pathAndQuery.mid(q + 1);
    return source.answer(request);
}

QString quotesPath(const QString &codes, const QString &symbols)
{
    return QStringLiteral("/download/quotes.csv?f=") + codes + QStringLiteral("&s=") + symbols;
}

// Splits an answer line (without CR LF) at commas outside double quotes.
QStringList csvFields(const QString &line)
{
    QStringList fields;
    QString current;
    bool quoted = false;
    for (QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            fields.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    fields.append(current);
    return fields;
}

// The answer's lines, each of which must end in CR LF.
QStringList answerLines(const QByteArray &body, bool *wellFormed)
{
    const QString text = QString::fromLatin1(body);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    *wellFormed =
        text.isEmpty() || (text.endsWith(QStringLiteral("\r\n")) && lines.last().isEmpty());
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString &line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            *wellFormed = false;
    }
    return lines;
}

double value(const QString &text)
{
    return QStringView(text).trimmed().toDouble();
}

bool isBareValue(const QString &field)
{
    static const QRegularExpression number(QStringLiteral("^(N/A|[-+]?\\d+(\\.\\d+)?)$"));
    return number.match(field).hasMatch();
}

bool isQuoted(const QString &field)
{
    return field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"') &&
           !field.mid(1, field.size() - 2).contains(u'"');
}

} // namespace

class TestMarketSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyStockAnswersThirteenColumns_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<bool>("realTime");
        QTest::newRow("delayed") << kDelayed << false;
        QTest::newRow("real time") << kRealTime << true;
    }
    void everyStockAnswersThirteenColumns()
    {
        QFETCH(QString, codes);
        QFETCH(bool, realTime);
        MarketSource source(11);
        QStringList symbols;
        for (const Instrument &in : stockInstruments())
            symbols.append(QString::fromLatin1(in.symbol).toLower());
        for (int round = 0; round < 20; ++round) // the market moves; so must the checks
            get(source, quotesPath(codes, symbols.join(u',') + u','));
        const FeedReply reply = get(source, quotesPath(codes, symbols.join(u',') + u','));
        QCOMPARE(reply.status, 200);

        bool wellFormed = false;
        const QStringList lines = answerLines(reply.body, &wellFormed);
        QVERIFY(wellFormed);
        QCOMPARE(lines.size(), symbols.size());
        // Quoted text, bare numbers: symbol, time and price, change, range, name, exchange.
        const QList<int> quotedFields{0, 3, 4, 7, 9, 15};
        for (const QString &line : lines) {
            const QStringList fields = csvFields(line);
            QCOMPARE(fields.size(), 10 + 6);
            for (int i = 0; i < fields.size(); ++i) {
                if (quotedFields.contains(i))
                    QVERIFY2(isQuoted(fields.at(i)), qPrintable(line));
                else
                    QVERIFY2(isBareValue(fields.at(i)), qPrintable(line));
            }
            QVERIFY(fields.at(3).contains(QLatin1String(" - <b>")));
        }

        QString replyText = QString::fromLatin1(reply.body);
        const QRegularExpression time(QStringLiteral("^\\d{1,2}:\\d\\d(am|pm)$"));
        for (const Instrument &in : stockInstruments()) {
            const QStringList col = quoteColumns(nextQuoteLine(replyText));
            QCOMPARE(col.size(), 13);
            QCOMPARE(col.at(0), QString::fromLatin1(in.symbol));
            QCOMPARE(col.at(12), QString::fromLatin1(in.name));
            for (int c = 0; c < 12; ++c)
                QVERIFY2(!col.at(c).isEmpty() && !col.at(c).contains(u' '),
                         qPrintable(col.join(u'|')));
            QVERIFY(time.match(col.at(3)).hasMatch());
            const double last = value(col.at(4));
            const double change = value(col.at(5));
            QVERIFY(last > 0);
            QVERIFY(col.at(6).endsWith(u'%'));
            QVERIFY(col.at(7).toLongLong() > 0);
            const double open = value(col.at(8));
            const double low = value(col.at(9));
            const double high = value(col.at(10));
            QVERIFY2(low <= last && last <= high, qPrintable(col.join(u'|')));
            QVERIFY2(low <= open && open <= high, qPrintable(col.join(u'|')));
            if (in.eps > 0)
                QVERIFY(qAbs(value(col.at(11)) - last / in.eps) < 0.01);
            else
                QCOMPARE(col.at(11), QStringLiteral("N/A"));
            if (realTime) {
                QVERIFY(value(col.at(1)) < last); // bid
                QVERIFY(value(col.at(2)) > last); // ask
            } else {
                const double previousClose = value(col.at(1));
                QVERIFY(qAbs(previousClose + change - last) < 0.005);
                QVERIFY(qAbs(value(col.at(6).chopped(1)) - change / previousClose * 100) < 0.006);
                QCOMPARE(col.at(2), QuoteFormat::number(in.eps, 2));
            }
        }
        QCOMPARE(nextQuoteLine(replyText), QString()); // nothing left over
    }

    void answersInRequestOrder_data()
    {
        QTest::addColumn<QString>("symbols");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("defaults") << "msft,csco,ibm,dell,"
                                  << QStringList{"MSFT", "CSCO", "IBM", "DELL"};
        QTest::newRow("mixed case") << "DeLl,Msft" << QStringList{"DELL", "MSFT"};
        QTest::newRow("empty entries") << ",ibm,,msft, ," << QStringList{"IBM", "MSFT"};
        QTest::newRow("twice") << "ibm,ibm" << QStringList{"IBM", "IBM"};
        QTest::newRow("unknown between") << "msft,zzzz,ibm" << QStringList{"MSFT", "ZZZZ", "IBM"};
        QTest::newRow("encoded caret") << "%5Edji,%5egspc," << QStringList{"^DJI", "^GSPC"};
        QTest::newRow("plain caret") << "^dji,^tv.n" << QStringList{"^DJI", "^TV.N"};
        QTest::newRow("spaces") << "%20msft%20,ibm" << QStringList{"MSFT", "IBM"};
        QTest::newRow("none") << "" << QStringList{};
        QTest::newRow("only commas") << ",,," << QStringList{};
    }
    void answersInRequestOrder()
    {
        QFETCH(QString, symbols);
        QFETCH(QStringList, expected);
        MarketSource source;
        const FeedReply reply = get(source, quotesPath(kDelayed, symbols));
        QCOMPARE(reply.status, 200);
        QString replyText = QString::fromLatin1(reply.body);
        QStringList answered;
        for (int i = 0; i < expected.size(); ++i)
            answered.append(quoteColumns(nextQuoteLine(replyText)).at(0));
        QCOMPARE(answered, expected);
        QCOMPARE(QString::fromLatin1(reply.body).count(QStringLiteral("\r\n")), expected.size());
    }

    void unknownSymbolIsEchoedWithNA()
    {
        MarketSource source;
        const FeedReply reply = get(source, quotesPath(kDelayed, QStringLiteral("zzzz,")));
        QCOMPARE(reply.status, 200);
        QString replyText = QString::fromLatin1(reply.body);
        const QStringList col = quoteColumns(nextQuoteLine(replyText));
        QCOMPARE(col.at(0), QStringLiteral("ZZZZ"));
        for (int c = 1; c <= 11; ++c)
            QCOMPARE(col.at(c), QStringLiteral("N/A"));
        QCOMPARE(col.at(12), QStringLiteral("ZZZZ"));
    }

    void hostileSymbolCannotBreakTheFormat()
    {
        MarketSource source;
        const FeedReply reply =
            get(source, quotesPath(kDelayed, QStringLiteral("a%22b%0D%0Ac%3Cb%3E,ibm")));
        bool wellFormed = false;
        const QStringList lines = answerLines(reply.body, &wellFormed);
        QVERIFY(wellFormed);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(csvFields(lines.at(0)).size(), 16);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("\"ABCB\",")));
    }

    void answersAtMostTheSymbolLimit()
    {
        MarketSource source;
        QStringList many;
        for (int i = 0; i < MarketSource::kMaxSymbols + 50; ++i)
            many.append(QStringLiteral("ibm"));
        const FeedReply reply = get(source, quotesPath(kDelayed, many.join(u',')));
        QCOMPARE(reply.body.count("\r\n"), MarketSource::kMaxSymbols);
    }

    void indexListMatchesTheTickerBoxes()
    {
        QStringList symbols;
        for (const Instrument &in : indexInstruments())
            symbols.append(QString::fromLatin1(in.symbol));
        QCOMPARE(symbols, kIndexSymbols);
    }

    void everyIndexMakesATickerLine_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("name");
        for (const Instrument &in : indexInstruments())
            QTest::newRow(in.symbol)
                << QString::fromLatin1(in.symbol) << QString::fromLatin1(in.name);
    }
    void everyIndexMakesATickerLine()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, name);
        MarketSource source(3);
        for (int i = 0; i < 40; ++i)
            source.market().step();
        const FeedReply reply = get(source, quotesPath(kIndex, symbol.toLower()));
        QCOMPARE(reply.status, 200);
        bool wellFormed = false;
        const QStringList lines = answerLines(reply.body, &wellFormed);
        QVERIFY(wellFormed);
        QCOMPARE(lines.size(), 1);
        const QStringList fields = csvFields(lines.at(0));
        QCOMPARE(fields.size(), 3 + 6);
        QCOMPARE(fields.at(0), u'"' + name + u'"');
        QVERIFY(name == name.toUpper());

        // "time - <b>last</b>" and "change - percent"
        static const QRegularExpression lastField(
            QStringLiteral("^\"\\d{1,2}:\\d\\d(am|pm) - <b>(-?\\d+(\\.\\d\\d)?)</b>\"$"));
        static const QRegularExpression changeField(
            QStringLiteral("^\"([-+]?\\d+(\\.\\d\\d)?) - ([-+]?\\d+\\.\\d\\d%)\"$"));
        const QRegularExpressionMatch lastMatch = lastField.match(fields.at(1));
        const QRegularExpressionMatch changeMatch = changeField.match(fields.at(2));
        QVERIFY2(lastMatch.hasMatch(), qPrintable(fields.at(1)));
        QVERIFY2(changeMatch.hasMatch(), qPrintable(fields.at(2)));
        const QString last = lastMatch.captured(2);
        const QString change = changeMatch.captured(1);
        const MarketQuote &quote = *source.market().find(symbol);
        QCOMPARE(value(last), quote.last);

        QString replyText = QString::fromLatin1(reply.body);
        const QString line = buildTickerItem(replyText);
        QVERIFY(replyText.isEmpty()); // the whole reply was consumed
        const QString spaces(6, u' ');
        QVERIFY2(line.endsWith(spaces + last + spaces + change), qPrintable(line));
        // The name comes first, then the values.
        const QString shownName = line.left(line.size() - (spaces + last + spaces + change).size());
        QVERIFY2(!shownName.trimmed().isEmpty(), qPrintable(line));
        // The ticker colours a line by the signs it finds from the 16th character on:
        // green for a rise, red-orange for a fall.
        const bool red = line.indexOf(u'-', 15) >= 0;
        const bool green = line.indexOf(u'+', 15) >= 0;
        if (change.startsWith(u'+'))
            QVERIFY2(green, qPrintable(line));
        else if (change.startsWith(u'-'))
            QVERIFY2(red && !green, qPrintable(line));
        else
            QVERIFY2(!green && red == last.startsWith(u'-'), qPrintable(line));
    }

    void tickerShortensTheServiceNames_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dow") << "^dji"
                             << "DJIA      ";
        QTest::newRow("nasdaq") << "^ixic"
                                << "NASDAQ      ";
        QTest::newRow("s&p") << "^gspc"
                             << "S&P 500       ";
        QTest::newRow("amex") << "^xax"
                              << "AMEX  INDEX      ";
        QTest::newRow("smallcap") << "^SML"
                                  << "S&P SMALLCAP 600       ";
    }
    void tickerShortensTheServiceNames()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, shown);
        MarketSource source;
        QString replyText = QString::fromLatin1(get(source, quotesPath(kIndex, symbol)).body);
        const QString line = buildTickerItem(replyText);
        QVERIFY2(line.startsWith(shown), qPrintable(line));
        QVERIFY(!line.at(shown.size()).isSpace());
    }

    void indexRepliesFollowOneAnother()
    {
        // The index download appends each reply to what is left and builds one line at a
        // time from the front.
        MarketSource source;
        QString replyText;
        QStringList lines;
        for (const char *symbol : {"^dji", "^gspc", "^xax", "^nya", "^ixic"}) {
            replyText += QString::fromLatin1(
                get(source, quotesPath(kIndex, QString::fromLatin1(symbol))).body);
            lines.append(buildTickerItem(replyText));
        }
        QVERIFY(replyText.isEmpty());
        QVERIFY(lines.at(0).startsWith(QStringLiteral("DJIA ")));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("S&P 500 ")));
        QVERIFY(lines.at(2).startsWith(QStringLiteral("AMEX ")));
        QVERIFY(lines.at(3).startsWith(QStringLiteral("NYSE ")));
        QVERIFY(lines.at(4).startsWith(QStringLiteral("NASDAQ ")));
    }

    void unknownIndexGivesAnEmptyLookingLine()
    {
        MarketSource source;
        const QByteArray body = get(source, quotesPath(kIndex, QStringLiteral("^nope"))).body;
        QCOMPARE(
            body,
            QByteArray("\"^NOPE\",\"N/A - <b>N/A</b>\",\"N/A - N/A\",N/A,N/A,N/A,N/A,N/A,N/A\r\n"));
    }

    void sameSeedSameAnswers()
    {
        MarketSource a(42);
        MarketSource b(42);
        MarketSource other(43);
        const QString stocks = quotesPath(kDelayed, QStringLiteral("msft,csco,ibm,dell,aapl"));
        const QString index = quotesPath(kIndex, QStringLiteral("^dji"));
        bool differs = false;
        for (int i = 0; i < 50; ++i) {
            const QString &path = i % 3 ? index : stocks;
            const QByteArray answer = get(a, path).body;
            QCOMPARE(get(b, path).body, answer);
            differs = differs || get(other, path).body != answer;
        }
        QVERIFY(differs);
    }

    void pricesMoveFromRequestToRequest()
    {
        MarketSource source;
        const QString path = quotesPath(kDelayed, QStringLiteral("msft,csco,ibm,dell"));
        const QByteArray first = get(source, path).body;
        int changed = 0;
        for (int i = 0; i < 10; ++i)
            changed += get(source, path).body != first ? 1 : 0;
        QVERIFY(changed >= 8);
        // Pages only look at the market.
        const quint64 steps = source.market().steps();
        get(source, QStringLiteral("/m1?u"));
        get(source, QStringLiteral("/"));
        QCOMPARE(source.market().steps(), steps);
    }

    void marketStaysConsistentAcrossDays()
    {
        SimulatedMarket market(7);
        std::vector<MarketQuote> before = market.quotes();
        for (int i = 0; i < 2 * SimulatedMarket::kStepsPerDay + 20; ++i) {
            const int day = market.day();
            market.step();
            const bool newDay = market.day() != day;
            QVERIFY(market.clock() >= QTime(9, 30) && market.clock() <= QTime(16, 0));
            for (size_t k = 0; k < market.quotes().size(); ++k) {
                const MarketQuote &q = market.quotes()[k];
                const MarketQuote &p = before[k];
                QVERIFY(q.low <= q.last && q.last <= q.high);
                QVERIFY(q.low <= q.open && q.open <= q.high);
                QVERIFY(q.yearLow <= q.low && q.high <= q.yearHigh);
                if (q.isStock() || q.instrument->kind == Instrument::Kind::Index)
                    QVERIFY(q.last > 0);
                if (newDay) {
                    QCOMPARE(q.previousClose, p.last);
                    QCOMPARE(q.open, q.last);
                } else {
                    QCOMPARE(q.previousClose, p.previousClose);
                    QCOMPARE(q.open, p.open);
                    QVERIFY(q.volume >= p.volume);
                    QVERIFY(q.low <= p.low && q.high >= p.high);
                }
            }
            before = market.quotes();
        }
        QCOMPARE(market.day(), 2);
        // Stocks stay near their usual prices.
        for (const MarketQuote &q : market.quotes()) {
            if (q.isStock())
                QVERIFY2(q.last > q.instrument->price * 0.6 && q.last < q.instrument->price * 1.6,
                         q.instrument->symbol);
        }
    }

    void servesThePages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("contains");
        QTest::newRow("index page") << "/m1?u" << 200 << "S&amp;P 500 INDEX";
        QTest::newRow("start page") << "/" << 200 << "<title>Vantora</title>";
        QTest::newRow("vantora") << "/vantora/" << 200 << "href=\"/m1?u\"";
        QTest::newRow("start page says where files are") << "/vantora/" << 200 << "Vantora.conf";
        const QString chart = "/print/print.asp?frames=0&symb=%1&unused=0&o_symb=%1&time=3&freq=1"
                              "&backurl=%2Fquickchart%2Fquickchart%2Easp&prms=qcd";
        QTest::newRow("chart") << chart.arg("IBM") << 200
                               << "<title>IBM chart, One Week, Daily</title>";
        QTest::newRow("chart draws") << chart.arg("ibm") << 200 << "<polyline";
        QTest::newRow("chart of no symbol") << chart.arg("%3Cb%3E") << 400 << "&lt;b&gt;";
        QTest::newRow("chart of nothing") << chart.arg("ZZZZ") << 404 << "No chart for ZZZZ";
        QTest::newRow("news") << "/news?s=ibm" << 200 << "<title>IBM headlines (simulated)</title>";
        QTest::newRow("news says it is made up") << "/news?s=KO" << 200 << "not news";
        QTest::newRow("news of an index") << "/news?s=%5EDJI" << 200 << "(simulated)</small>";
        QTest::newRow("news links its source")
            << "/news?s=IBM&source=http%3A%2F%2Fnews.example.com%2Fq%3Fs%3DIBM%26a%3D1" << 200
            << "href=\"http://news.example.com/q?s=IBM&amp;a=1\"";
        QTest::newRow("news links no script")
            << "/news?s=IBM&source=javascript%3Aalert(1)" << 200 << "Order book</a></p>\n</body>";
        QTest::newRow("news of no stock") << "/news?s=" << 400 << "No symbol for the news";
        QTest::newRow("news of a long symbol") << "/news?s=" + QString(300, 'A') << 400 << "AAAA";
        QTest::newRow("news escapes") << "/news?s=%3Cscript%3E" << 400 << "&lt;script&gt;";
        QTest::newRow("news shows no control characters")
            << "/news?s=a%00%07b" << 400 << "<b>a??b</b>";
        QTest::newRow("news of nothing") << "/news?s=ZZZZ" << 404 << "No news for ZZZZ";
        QTest::newRow("research") << "/research?s=msft" << 200 << "<th>P/E ratio</th>";
        QTest::newRow("research of an index") << "/research?s=%5Egspc" << 200 << "S&amp;P 500";
        QTest::newRow("research of all") << "/research?s=%20" << 200 << ">CSCO</a>";
        QTest::newRow("IPOs") << "/ipo?source=http%3A%2F%2Fipo.example.com%2F" << 200
                              << "simulated market has no new issues";
        QTest::newRow("screener") << "/screener?min=100&exch=NYSE&sort=pe" << 200
                                  << "<option value=\"pe\" selected>";
        QTest::newRow("screener ignores garbage")
            << "/screener?min=-1&max=x&exch=%3C&sort=%3C" << 200 << "40 stocks pass";
        const QString book = "/ds/tools/bookviewer/htmlbook.jsp?STOCK=";
        QTest::newRow("order book") << book + "csco" << 200 << "Simulated order book";
        QTest::newRow("order book of an index") << book + "%5EDJI" << 404 << "is an index";
        QTest::newRow("order book of no stock") << book << 400 << "<title>No symbol";
        QTest::newRow("lookup by name") << "/l?m=US&s=micro&t=" << 200 << ">MSFT</a>";
        QTest::newRow("lookup by symbol") << "/l?m=US&s=CSCO&t=" << 200 << "Cisco";
        QTest::newRow("lookup escapes") << "/l?m=US&s=%3Cx%3E&t=" << 200 << "&lt;x&gt;";
        const QString tv = FeedConfig::mediaPageUrl("tv", "http://video.example.com/live?a=1;b=2")
                               .mid(QStringLiteral("http://127.0.0.1:47110").size());
        QTest::newRow("television offline")
            << tv << 200 << "<title>Business television, live from the markets</title>";
        QTest::newRow("television names its source")
            << tv << 200 << "href=\"http://video.example.com/live?a=1;b=2\"";
        QTest::newRow("radio offline") << "/media/radio?source=http%3A%2F%2Fradio.example.com%2F"
                                       << 200 << ">http://radio.example.com/</a>";
        QTest::newRow("no link but the web's")
            << "/media/radio?source=javascript%3Aalert(1)" << 200 << "no live media.</p>";
        QTest::newRow("missing") << "/nothing/here" << 404 << "Not Found";
        QTest::newRow("case matters") << "/DOWNLOAD/quotes.csv?s=ibm" << 404 << "Not Found";
    }
    void servesThePages()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(QString, contains);
        MarketSource source;
        const FeedReply reply = get(source, path);
        QCOMPARE(reply.status, status);
        QVERIFY(reply.contentType.startsWith("text/html"));
        QVERIFY(QString::fromUtf8(reply.body).contains(contains));
    }

    void chartHistory_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("points");
        QTest::newRow("one day by minute") << 1 << 9 << 391;
        QTest::newRow("one week daily") << 3 << 1 << 8;
        QTest::newRow("two years quarterly") << 9 << 4 << 9;
        QTest::newRow("two years by minute, thinned") << 9 << 9 << -1;
    }
    void chartHistory()
    {
        QFETCH(int, time);
        QFETCH(int, freq);
        QFETCH(int, points);
        const auto h = BrowserPages::history("IBM", time, freq, 123.45, 1'000'000'000);
        if (points > 0)
            QCOMPARE(int(h.size()), points);
        QVERIFY(h.size() >= 2 && h.size() <= 600);
        QCOMPARE(h.back().price, 123.45);
        QCOMPARE(h.back().time, qint64(1000000000));
        for (std::size_t i = 1; i < h.size(); ++i)
            QVERIFY(h[i - 1].time < h[i].time && h[i].price > 0);
        const auto again = BrowserPages::history("IBM", time, freq, 123.45, 1'000'000'000);
        QCOMPARE(again.front().price, h.front().price);
    }

    // The time axis: every label lies inside the picture, the last ends at the axis, and
    // intraday labels read the exchange's time as the grid shows it.
    void chartLabelsShowWhole_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("freq");
        QTest::newRow("one day by minute") << 1 << 9;
        QTest::newRow("one week hourly") << 3 << 8;
        QTest::newRow("one year daily") << 8 << 1;
        QTest::newRow("two years quarterly") << 9 << 4;
    }
    void chartLabelsShowWhole()
    {
        QFETCH(int, time);
        QFETCH(int, freq);
        MarketSource source;
        for (int i = 0; i < 100; ++i) // the clock to 9:55am
            source.market().step();
        const QString body = QString::fromUtf8(
            get(source,
                QStringLiteral("/print/print.asp?symb=IBM&time=%1&freq=%2").arg(time).arg(freq))
                .body);
        static const QRegularExpression label(QStringLiteral(
            "<text class=\"date\" x=\"([0-9.]+)\"[^>]*text-anchor=\"(\\w+)\">([^<]+)<"));
        QStringList texts;
        for (const QRegularExpressionMatch &m : label.globalMatch(body)) {
            const double x = m.captured(1).toDouble();
            const QString anchor = m.captured(2);
            // These labels average under 0.85 em a character in the usual sans-serif fonts
            // (Arial, Liberation Sans, DejaVu Sans) at 11 pixels.
            const double width = m.captured(3).size() * 0.85 * 11;
            const double from = anchor == "start" ? x : anchor == "end" ? x - width : x - width / 2;
            QVERIFY2(from >= 0 && from + width <= 640, qPrintable(m.captured(0)));
            texts << m.captured(3);
        }
        QCOMPARE(texts.size(), 5);
        QVERIFY(body.contains("text-anchor=\"end\">" + texts.last() + "</text>"));
        const QString clock =
            QString::fromLatin1(QuoteFormat::tradeTimeText(source.market().clock()));
        QCOMPARE(clock, "9:55am");
        if (freq >= 6) {
            QVERIFY2(texts.last().endsWith(clock), qPrintable(texts.last()));
            for (const QString &t : texts) // within a session
                QVERIFY2(
                    QRegularExpression("(9:[3-5]\\dam|1[01]:\\d\\dam|12:\\d\\dpm|[1-4]:\\d\\dpm)$")
                        .match(t)
                        .hasMatch(),
                    qPrintable(t));
        }
    }

    void newsIsTheSameAllDay()
    {
        const auto headlines = [](MarketSource &source, const char *symbol) {
            QList<QByteArray> lines =
                get(source, QStringLiteral("/news?s=") + symbol).body.split('\n');
            lines.removeIf([](const QByteArray &l) { return !l.contains("(simulated)</small>"); });
            return lines;
        };
        MarketSource source;
        const QList<QByteArray> first = headlines(source, "IBM");
        QCOMPARE(first.size(), 7);
        for (int i = 0; i < 500; ++i)
            source.market().step();
        QCOMPARE(headlines(source, "ibm"), first);
        QVERIFY(headlines(source, "MSFT") != first);
    }

    void indexPageListsEveryIndex()
    {
        MarketSource source;
        const QString page = QString::fromUtf8(get(source, QStringLiteral("/m1?u")).body);
        for (const Instrument &in : indexInstruments())
            QVERIFY(page.contains(QString::fromLatin1(in.name).toHtmlEscaped()));
    }

    void refusesOtherMethods()
    {
        MarketSource source;
        FeedRequest request;
        request.method = "POST";
        request.path = QStringLiteral("/download/quotes.csv");
        QCOMPARE(source.answer(request).status, 405);
    }
};

QTEST_GUILESS_MAIN(TestMarketSource)
#include "tst_marketsource.moc"
