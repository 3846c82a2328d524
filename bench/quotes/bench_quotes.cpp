// Quote download speed: parsing an answer into 30 grid rows, and a whole update against the
// built-in feed on loopback (30 stocks in one request, then one request per index for all
// 42 indices, as the index download sends them).
#include "common/MainState.h"
#include "feed/FeedConfig.h"
#include "feed/Instruments.h"
#include "feed/MarketSource.h"
#include "feed/QuoteFeed.h"
#include "grid/FlexGrid.h"
#include "grid/QuoteGrid.h"
#include "net/Connectivity.h"
#include "net/Transfer.h"
#include "options/frmOptions.h"
#include "quotes/QuoteDownload.h"
#include "support/TestDoubles.h"
#include "window/frmStockMain.h"

#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The main window's quote concern without the rest of the program.
struct Harness
{
    FakePlatform platform;
    MainState state;
    frmStockMain form;
    frmOptions options;
    Transfer transfer;
    QTimer timer;
    Connectivity connectivity{state, options.model(), options, transfer, [](qint32) {}, timer};
    QuoteGrid grid{state, *form.findChild<FlexGrid *>(QStringLiteral("gridQuotes")),
                   options.view()};
    QuoteDownload download{state,        form, options.view(), transfer,
                           connectivity, grid, [](qint32) {}};

    Harness()
    {
        grid.GridSetup();
        grid.AddLabels();
        FlexGrid *symbols = options.gridSymbols();
        symbols->setRows(1);
        for (const Instrument &in : stockInstruments().first(30))
            symbols->addItem(QString::fromLatin1(in.symbol) + QStringLiteral("\t0\t0.00\t0.00"));
    }
};

QString symbolList()
{
    QString list;
    for (const Instrument &in : stockInstruments().first(30))
        list += QString::fromLatin1(in.symbol).toLower() + u',';
    return list;
}

void BM_ParseAndFill30Rows(benchmark::State &bench)
{
    Harness h;
    MarketSource market(5);
    const QString answer =
        QString::fromLatin1(market.quotes(QStringLiteral("spelcvomrn=.csv"), symbolList()));
    for (auto _ : bench) {
        h.state.ReplyText = answer;
        h.download.fillRows();
        benchmark::DoNotOptimize(h.state.CurrentQuotes[30][12]);
    }
}
BENCHMARK(BM_ParseAndFill30Rows)->Unit(benchmark::kMicrosecond);

// The same with every price moving from one download to the next: two answers of different
// markets in turn, so every compared cell changes, gets its change colour and new text.
void BM_ParseAndFill30RowsMoving(benchmark::State &bench)
{
    Harness h;
    const QString answers[2] = {QString::fromLatin1(MarketSource(5).quotes(
                                    QStringLiteral("spelcvomrn=.csv"), symbolList())),
                                QString::fromLatin1(MarketSource(6).quotes(
                                    QStringLiteral("spelcvomrn=.csv"), symbolList()))};
    h.state.SymbolsChanged = false;
    int turn = 0;
    for (auto _ : bench) {
        h.state.ReplyText = answers[turn];
        turn = 1 - turn;
        h.download.fillRows();
        benchmark::DoNotOptimize(h.state.CurrentQuotes[30][12]);
    }
}
BENCHMARK(BM_ParseAndFill30RowsMoving)->Unit(benchmark::kMicrosecond);

void BM_WholeUpdate30Stocks42Indices(benchmark::State &bench)
{
    QuoteFeed feed;
    const quint16 port = feed.start(QHostAddress::LocalHost, 0);
    if (port == 0) {
        bench.SkipWithError("the feed cannot listen");
        return;
    }
    Harness h;
    h.options.model().StockURL.set(feed.baseUrl() +
                                   QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s="));
    h.options.model().MarketURL.set(feed.baseUrl() +
                                    QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s="));
    for (auto _ : bench) {
        h.download.GetQuotes();
        QString indices;
        for (int i = 0; i < 42; ++i)
            indices += h.transfer.OpenURL(h.options.model().MarketURL.value() +
                                          h.options.indexSymbol(i).trimmed().toLower());
        benchmark::DoNotOptimize(indices);
        if (h.transfer.ResponseCode() != 0 || h.state.CurrentQuotes[30][0].isEmpty())
            bench.SkipWithError("a request failed");
    }
}
BENCHMARK(BM_WholeUpdate30Stocks42Indices)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
