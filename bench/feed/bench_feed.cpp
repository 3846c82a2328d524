// Speed of the built-in quote service: answering one update (30 stocks, then the 42
// indices one at a time) over loopback through Transfer, as the program does, and the
// formatting alone without the network; and the live Yahoo source through a stand-in
// upstream 100 ms away.
#include "net/Transfer.h"

#include "FeedSources.h"
#include "Instruments.h"
#include "MarketSource.h"
#include "QuoteFeed.h"
#include "support/StandInUpstream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

QString stockSymbols(int count = 30)
{
    QStringList symbols;
    for (const Instrument &in : stockInstruments()) {
        if (symbols.size() == count)
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

// One update of Vantora against the live Yahoo source on a cold cache: n stocks in one
// request, then the 42 indices one at a time; then the same again at once. The upstream
// answers after 100 ms, refuses the quote endpoint and offers spark (or, with the
// second argument 0, only the chart endpoint). Reported: seconds for the stocks, the
// indices and the repeated update, and the upstream requests of each update.
void BM_LiveUpdateThrough100msUpstream(benchmark::State &state)
{
    const int stocks = int(state.range(0));
    double stockSeconds = 0, indexSeconds = 0, repeatSeconds = 0, requests = 0, repeatRequests = 0;
    for (auto _ : state) {
        StandInServer upstream;
        upstream.upstream->latencyMs = 100;
        upstream.upstream->sparkOffered = state.range(1) != 0;
        QuoteFeed feed(FeedSources::make(QStringLiteral("yahoo"), upstream.url));
        if (feed.start() == 0) {
            state.SkipWithError("cannot listen on loopback");
            return;
        }
        const QString stockUrl = feed.baseUrl() +
                                 QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=") +
                                 stockSymbols(stocks);
        Transfer transfer;
        transfer.setRequestTimeout(120);
        QElapsedTimer clock;
        double total = 0;
        for (int cycle = 0; cycle < 2; ++cycle) {
            const qsizetype before = upstream.upstream->requests.size();
            clock.start();
            benchmark::DoNotOptimize(transfer.OpenURL(stockUrl));
            const double stocksDone = clock.nsecsElapsed() / 1e9;
            for (const Instrument &in : indexInstruments())
                benchmark::DoNotOptimize(transfer.OpenURL(
                    feed.baseUrl() + QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=") +
                    QString::fromLatin1(in.symbol).toLower()));
            const double all = clock.nsecsElapsed() / 1e9;
            if (transfer.ResponseCode() != 0) {
                state.SkipWithError("transfer failed");
                return;
            }
            const double count = double(upstream.upstream->requests.size() - before);
            if (cycle == 0) {
                stockSeconds += stocksDone;
                indexSeconds += all - stocksDone;
                requests += count;
            } else {
                repeatSeconds += all;
                repeatRequests += count;
            }
            total += all;
        }
        state.SetIterationTime(total);
    }
    const double n = double(state.iterations());
    state.counters["stocks_s"] = stockSeconds / n;
    state.counters["indices_s"] = indexSeconds / n;
    state.counters["repeat_s"] = repeatSeconds / n;
    state.counters["requests"] = requests / n;
    state.counters["repeat_requests"] = repeatRequests / n;
}
BENCHMARK(BM_LiveUpdateThrough100msUpstream)
    ->ArgNames({"stocks", "spark"})
    ->Args({10, 1})
    ->Args({30, 1})
    ->Args({10, 0})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// The steady state: every quote has outlived its freshness when the next update comes, as
// with 30 stocks every 60 s (the indices' 60 s freshness runs out between two updates too).
// Time is shrunk: quotes stay fresh for 4 s and an update comes 4.1 s after the last.
// Reported: upstream requests per update once the quote endpoint rests.
void BM_LiveSteadyUpdateRequests(benchmark::State &state)
{
    StandInServer upstream;
    UpstreamPolicy policy;
    policy.stockFreshMs = 4000;
    policy.indexFreshMs = 4000;
    QuoteFeed feed(FeedSources::make(QStringLiteral("yahoo"), upstream.url, 1, policy));
    if (feed.start() == 0) {
        state.SkipWithError("cannot listen on loopback");
        return;
    }
    const QString stockUrl = feed.baseUrl() +
                             QStringLiteral("/download/quotes.csv?f=spelcvomrn=.csv&s=") +
                             stockSymbols();
    Transfer transfer;
    transfer.setRequestTimeout(120);
    auto update = [&] {
        transfer.OpenURL(stockUrl);
        for (const Instrument &in : indexInstruments())
            transfer.OpenURL(feed.baseUrl() +
                             QStringLiteral("/download/quotes.csv?f=nk1k2=.csv&s=") +
                             QString::fromLatin1(in.symbol).toLower());
    };
    update(); // the first update tries the quote endpoint
    const qsizetype before = upstream.upstream->requests.size();
    for (auto _ : state) {
        state.PauseTiming();
        QEventLoop pause;
        QTimer::singleShot(4100, &pause, &QEventLoop::quit);
        pause.exec();
        state.ResumeTiming();
        update();
    }
    state.counters["requests/update"] =
        double(upstream.upstream->requests.size() - before) / double(state.iterations());
}
BENCHMARK(BM_LiveSteadyUpdateRequests)->Iterations(3)->Unit(benchmark::kSecond);

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
