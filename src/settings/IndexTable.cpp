#include "IndexTable.h"

namespace {

constexpr std::array<const char *, IndexTable::frameCount> kFrameTitles = {
    "Dow Jones",
    "Standard and Poor's",
    "AMEX",
    "NYSE",
    "Russell",
    "Nasdaq",
    "Treasury Securities (yield x10)",
    "Commodities",
};

constexpr std::array<IndexTable::Entry, IndexTable::count> kEntries = {{
    {"^DJI", "30 Industrials", 0},
    {"^DJA", "65 Composite", 0},
    {"^DJT", "20 Transportation", 0},
    {"^DJU", "15 Utilities", 0},
    {"^GSPC", "500 Index", 1},
    {"^OEX", "100 Index", 1},
    {"^MID", "400 MidCap", 1},
    {"^SML", "600 SmallCap", 1},
    {"^XAX", "Composite", 2},
    {"^IIX", "Internet", 2},
    {"^NWX", "Networking", 2},
    {"^NYA", "Composite", 3},
    {"^TV.N", "Volume in 000's", 3},
    {"^NFA", "Financials", 3},
    {"^NDA", "Industrials", 3},
    {"^NNA", "Utilities", 3},
    {"^NHB", "Beta Index", 3},
    {"^TIC.N", "Tick", 3},
    {"^STI.N", "ARMS", 3},
    {"^RUI", "Russell 1000", 4},
    {"^RUT", "Russell 2000", 4},
    {"^RUA", "Russell 3000", 4},
    {"^IXIC", "Composite", 5},
    {"^TV.O", "Volume in 000's", 5},
    {"^NDX", "Nasdaq 100", 5},
    {"^IXBK", "Banks", 5},
    {"^IXFN", "Financials", 5},
    {"^IXF", "Financials 100", 5},
    {"^IXQ", "National Market Composite", 5},
    {"^IXID", "Industrials", 5},
    {"^IXIS", "Insurance", 5},
    {"^IXK", "Computers", 5},
    {"^IXTR", "Transportation", 5},
    {"^IXUT", "Telecommunications", 5},
    {"^NBI", "Biotech", 5},
    {"^TYX", "30-Year Bond", 6},
    {"^TNX", "10-Year Note", 6},
    {"^FVX", "5-Year Note", 6},
    {"^IRX", "13-Week Bill", 6},
    {"^DJS", "Dow Jones Spot", 7},
    {"^DJC", "Dow Jones Futures", 7},
    {"^XAU", "Philadelphia Gold and Silver", 7},
}};

bool inRange(int index)
{
    return index >= 0 && index < IndexTable::count;
}

} // namespace

const std::array<IndexTable::Entry, IndexTable::count> &IndexTable::entries()
{
    return kEntries;
}

QString IndexTable::symbol(int index)
{
    return inRange(index) ? QString::fromLatin1(kEntries[index].symbol) : QString();
}

QString IndexTable::caption(int index)
{
    return inRange(index) ? QString::fromLatin1(kEntries[index].caption) : QString();
}

int IndexTable::frame(int index)
{
    return inRange(index) ? kEntries[index].frame : -1;
}

QString IndexTable::frameTitle(int frame)
{
    return frame >= 0 && frame < frameCount ? QString::fromLatin1(kFrameTitles[frame]) : QString();
}
