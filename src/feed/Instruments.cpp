#include "Instruments.h"

namespace {

using K = Instrument::Kind;

const Instrument kStocks[] = {
    {"MSFT", "Microsoft Corporation", K::Stock, 56.81, 2.10, 0.36, 30213000, "NasdaqNM"},
    {"CSCO", "Cisco Systems Inc.", K::Stock, 31.40, 1.98, 0.26, 21540000, "NasdaqNM"},
    {"IBM", "International Business Machines", K::Stock, 159.05, 12.05, 1.40, 3620000, "NYSE"},
    {"DELL", "Dell Computer Corporation", K::Stock, 38.25, 1.31, 0.00, 14870000, "NasdaqNM"},
    {"AAPL", "Apple Computer Inc.", K::Stock, 107.95, 8.58, 0.57, 33120000, "NasdaqNM"},
    {"INTC", "Intel Corporation", K::Stock, 35.62, 2.18, 0.26, 19250000, "NasdaqNM"},
    {"ORCL", "Oracle Corporation", K::Stock, 41.29, 2.07, 0.15, 13440000, "NasdaqNM"},
    {"HPQ", "Hewlett-Packard Company", K::Stock, 14.37, 1.36, 0.12, 11930000, "NYSE"},
    {"AMZN", "Amazon.com Inc.", K::Stock, 769.54, 4.91, 0.00, 3510000, "NasdaqNM"},
    {"GOOG", "Alphabet Inc.", K::Stock, 772.15, 26.34, 0.00, 1480000, "NasdaqNM"},
    {"QCOM", "QUALCOMM Incorporated", K::Stock, 62.63, 3.12, 0.53, 9020000, "NasdaqNM"},
    {"TXN", "Texas Instruments Inc.", K::Stock, 69.42, 3.04, 0.38, 5130000, "NYSE"},
    {"ADBE", "Adobe Systems Inc.", K::Stock, 101.48, 2.45, 0.00, 2240000, "NasdaqNM"},
    {"EBAY", "eBay Inc.", K::Stock, 31.92, 6.73, 0.00, 10150000, "NasdaqNM"},
    {"NVDA", "NVIDIA Corporation", K::Stock, 62.14, 0.99, 0.12, 8370000, "NasdaqNM"},
    {"AMD", "Advanced Micro Devices Inc.", K::Stock, 6.82, -0.45, 0.00, 29660000, "NasdaqNM"},
    {"GE", "General Electric Company", K::Stock, 31.07, 0.87, 0.23, 26310000, "NYSE"},
    {"XOM", "Exxon Mobil Corporation", K::Stock, 86.88, 2.33, 0.75, 10460000, "NYSE"},
    {"CVX", "Chevron Corporation", K::Stock, 101.32, -0.87, 1.08, 6520000, "NYSE"},
    {"JNJ", "Johnson & Johnson", K::Stock, 118.98, 5.71, 0.80, 7180000, "NYSE"},
    {"PFE", "Pfizer Inc.", K::Stock, 34.84, 1.24, 0.30, 25730000, "NYSE"},
    {"MRK", "Merck & Co. Inc.", K::Stock, 62.82, 1.67, 0.46, 9240000, "NYSE"},
    {"KO", "The Coca-Cola Company", K::Stock, 43.24, 1.64, 0.35, 12630000, "NYSE"},
    {"PEP", "PepsiCo Inc.", K::Stock, 107.96, 4.14, 0.75, 4430000, "NYSE"},
    {"MCD", "McDonald's Corporation", K::Stock, 116.27, 5.14, 0.89, 4870000, "NYSE"},
    {"WMT", "Wal-Mart Stores Inc.", K::Stock, 72.47, 4.33, 0.50, 8020000, "NYSE"},
    {"HD", "The Home Depot Inc.", K::Stock, 125.19, 5.82, 0.69, 4910000, "NYSE"},
    {"DIS", "The Walt Disney Company", K::Stock, 94.46, 5.76, 0.71, 7330000, "NYSE"},
    {"T", "AT&T Inc.", K::Stock, 41.23, 2.10, 0.48, 20270000, "NYSE"},
    {"VZ", "Verizon Communications Inc.", K::Stock, 52.27, 3.15, 0.58, 14930000, "NYSE"},
    {"JPM", "JPMorgan Chase & Co.", K::Stock, 66.53, 5.95, 0.48, 12660000, "NYSE"},
    {"BAC", "Bank of America Corporation", K::Stock, 15.96, 1.32, 0.08, 75540000, "NYSE"},
    {"C", "Citigroup Inc.", K::Stock, 46.42, 4.47, 0.16, 16860000, "NYSE"},
    {"WFC", "Wells Fargo & Company", K::Stock, 49.79, 4.05, 0.38, 17580000, "NYSE"},
    {"GS", "The Goldman Sachs Group Inc.", K::Stock, 169.91, 12.62, 0.65, 2730000, "NYSE"},
    {"BA", "The Boeing Company", K::Stock, 132.41, 7.41, 1.09, 3390000, "NYSE"},
    {"CAT", "Caterpillar Inc.", K::Stock, 81.46, 3.66, 0.77, 4470000, "NYSE"},
    {"MMM", "3M Company", K::Stock, 178.46, 8.35, 1.11, 1970000, "NYSE"},
    {"PG", "The Procter & Gamble Company", K::Stock, 87.35, 3.80, 0.67, 8630000, "NYSE"},
    {"F", "Ford Motor Company", K::Stock, 12.46, 1.93, 0.15, 32920000, "NYSE"},
};

// Index names in the capitals of the service, which is what the ticker shortens.
const Instrument kIndices[] = {
    {"^DJI", "DJ INDU AVERAGE", K::Index, 10432.12, 0, 0, 0, "DJI"},
    {"^DJA", "DJ 65 STOCK COMPOSITE", K::Index, 3105.40, 0, 0, 0, "DJI"},
    {"^DJT", "DJ TRANSPORTATION AV", K::Index, 2834.77, 0, 0, 0, "DJI"},
    {"^DJU", "DJ UTILITIES AVERAGE", K::Index, 318.62, 0, 0, 0, "DJI"},
    {"^GSPC", "S&P 500 INDEX", K::Index, 1412.45, 0, 0, 0, "SNP"},
    {"^OEX", "S&P 100 INDEX", K::Index, 702.18, 0, 0, 0, "SNP"},
    {"^MID", "S&P MIDCAP 400 INDEX", K::Index, 498.73, 0, 0, 0, "SNP"},
    {"^SML", "S&P SMALLCAP 600 IDX", K::Index, 208.35, 0, 0, 0, "SNP"},
    {"^XAX", "AMEX COMPOSITE INDEX", K::Index, 912.56, 0, 0, 0, "ASE"},
    {"^IIX", "AMEX INTERNET INDEX", K::Index, 587.20, 0, 0, 0, "ASE"},
    {"^NWX", "AMEX NETWORKING IDX", K::Index, 691.84, 0, 0, 0, "ASE"},
    {"^NYA", "NYSE COMPOSITE INDEX", K::Index, 652.31, 0, 0, 0, "NYSE"},
    {"^TV.N", "NYSE VOLUME", K::Volume, 1054320, 0, 0, 0, "NYSE"},
    {"^NFA", "NYSE FINANCE INDEX", K::Index, 561.09, 0, 0, 0, "NYSE"},
    {"^NDA", "NYSE INDUSTRIAL INDEX", K::Index, 781.44, 0, 0, 0, "NYSE"},
    {"^NNA", "NYSE UTILITIES INDEX", K::Index, 478.92, 0, 0, 0, "NYSE"},
    {"^NHB", "NYSE HIGH BETA INDEX", K::Index, 603.57, 0, 0, 0, "NYSE"},
    {"^TIC.N", "NYSE TICK", K::Breadth, 120, 0, 0, 0, "NYSE"},
    {"^STI.N", "NYSE ARMS INDEX", K::Ratio, 0.95, 0, 0, 0, "NYSE"},
    {"^RUI", "RUSSELL 1000 INDEX", K::Index, 741.06, 0, 0, 0, "WCB"},
    {"^RUT", "RUSSELL 2000 INDEX", K::Index, 502.83, 0, 0, 0, "WCB"},
    {"^RUA", "RUSSELL 3000 INDEX", K::Index, 779.15, 0, 0, 0, "WCB"},
    {"^IXIC", "NAS/NMS COMPSITE", K::Index, 3912.48, 0, 0, 0, "NasdaqSC"},
    {"^TV.O", "NASDAQ VOLUME", K::Volume, 1832650, 0, 0, 0, "NasdaqSC"},
    {"^NDX", "NASDAQ 100 INDEX", K::Index, 3604.95, 0, 0, 0, "NasdaqSC"},
    {"^IXBK", "NASDAQ BANK INDEX", K::Index, 1702.36, 0, 0, 0, "NasdaqSC"},
    {"^IXFN", "NASDAQ OTHER FINANCE", K::Index, 2011.80, 0, 0, 0, "NasdaqSC"},
    {"^IXF", "NASDAQ FINANCIAL 100", K::Index, 2126.47, 0, 0, 0, "NasdaqSC"},
    {"^IXQ", "NASDAQ NNM COMPSITE", K::Index, 3895.62, 0, 0, 0, "NasdaqSC"},
    {"^IXID", "NASDAQ INDUSTRIALS", K::Index, 2318.04, 0, 0, 0, "NasdaqSC"},
    {"^IXIS", "NASDAQ INSURANCE", K::Index, 1893.75, 0, 0, 0, "NasdaqSC"},
    {"^IXK", "NASDAQ COMPUTER INDEX", K::Index, 2294.18, 0, 0, 0, "NasdaqSC"},
    {"^IXTR", "NASDAQ TRANSPORTATION", K::Index, 1006.52, 0, 0, 0, "NasdaqSC"},
    {"^IXUT", "NASDAQ TELECOMM INDEX", K::Index, 805.39, 0, 0, 0, "NasdaqSC"},
    {"^NBI", "NASDAQ BIOTECH INDEX", K::Index, 1215.66, 0, 0, 0, "NasdaqSC"},
    {"^TYX", "TREASURY YIELD 30 YEARS", K::Index, 58.42, 0, 0, 0, "CBOE"},
    {"^TNX", "TREASURY YIELD 10 YEARS", K::Index, 57.83, 0, 0, 0, "CBOE"},
    {"^FVX", "TREASURY YIELD 5 YEARS", K::Index, 60.51, 0, 0, 0, "CBOE"},
    {"^IRX", "13 WEEK TREASURY BILL", K::Index, 56.84, 0, 0, 0, "CBOE"},
    {"^DJS", "DJ COMMODITY SPOT IDX", K::Index, 119.73, 0, 0, 0, "DJI"},
    {"^DJC", "DJ COMMODITY FUTURES IDX", K::Index, 104.96, 0, 0, 0, "DJI"},
    {"^XAU", "PHLX GOLD/SILVER INDEX", K::Index, 55.27, 0, 0, 0, "PHLX"},
};

static_assert(std::size(kIndices) == 42, "the ticker has one box per index, 42 in all");

} // namespace

std::span<const Instrument> stockInstruments()
{
    return kStocks;
}

std::span<const Instrument> indexInstruments()
{
    return kIndices;
}

int priceDecimals(const Instrument &instrument)
{
    switch (instrument.kind) {
    case Instrument::Kind::Volume:
    case Instrument::Kind::Breadth:
        return 0;
    case Instrument::Kind::Stock:
    case Instrument::Kind::Index:
    case Instrument::Kind::Ratio:
        break;
    }
    return 2;
}
