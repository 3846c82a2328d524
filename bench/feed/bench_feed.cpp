// Speed of the built-in quote service: answering one update (30 stocks, then the 42
// indices one at a time) over loopback through Transfer, as the program does, and the
// formatting alone without the network.
#include "net/Transfer.h"

#include "Instruments.h"
#include "MarketSource.h"
#include "QuoteFeed.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

QString stockSymbols()
{
    QStringList symbols;
    for (const Instrument &in : stockInstruments()) {
        if (symbols.size() == 30)
            break;
        symbols.append(QString::fromLatin1(in.symbol).toLower());
    }
    return symbols.join(u',') + u',';
}

void BM_FeedUpdateOverLoopback(benchmark::State &state)
{
    QuoteFeed feed(1);
    const quint16 port = feed.start();
    if (port == 0) {
        state.SkipWithError("cannot listen on loopback");
        return;
    }
    const QString base = feed.baseUrl();
    const QString stockUrl =
        base + QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=") + stockSymbols();
    QStringList indexUrls;
    for (const Instrument &in : indexInstruments())
        indexUrls.append(base + QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=") +
                         QString::fromLatin1(in.symbol).toLower());
    Transfer transfer;
    transfer.setRequestTimeout(30);
    qint64 bytes = 0;
    for (auto _ : state) {
        QString reply = transfer.OpenURL(stockUrl);
        bytes += reply.size();
        for (const QString &url : indexUrls) {
            reply = transfer.OpenURL(url);
            bytes += reply.size();
        }
        if (transfer.ResponseCode() != 0) {
            state.SkipWithError("transfer failed");
            break;
        }
        benchmark::DoNotOptimize(reply);
    }
    state.SetBytesProcessed(bytes);
    state.counters["requests/update"] = 1 + double(indexUrls.size());
}
BENCHMARK(BM_FeedUpdateOverLoopback)->Unit(benchmark::kMillisecond);

void BM_SingleIndexRequestOverLoopback(benchmark::State &state)
{
    QuoteFeed feed(1);
    if (feed.start() == 0) {
        state.SkipWithError("cannot listen on loopback");
        return;
    }
    const QString url = feed.baseUrl() + QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=^dji");
    Transfer transfer;
    for (auto _ : state)
        benchmark::DoNotOptimize(transfer.OpenURL(url));
}
BENCHMARK(BM_SingleIndexRequestOverLoopback)->Unit(benchmark::kMicrosecond);

void BM_AnswerThirtyStocks(benchmark::State &state)
{
    MarketSource source(1);
    const QString symbols = stockSymbols();
    for (auto _ : state) {
        source.market().step();
        benchmark::DoNotOptimize(source.quotes(u"spelcvomrn=.csv", symbols));
    }
}
BENCHMARK(BM_AnswerThirtyStocks)->Unit(benchmark::kMicrosecond);

void BM_MarketStep(benchmark::State &state)
{
    SimulatedMarket market(1);
    for (auto _ : state)
        market.step();
    benchmark::DoNotOptimize(market.quotes().front().last);
}
BENCHMARK(BM_MarketStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // Transfer and the feed need an event loop
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
