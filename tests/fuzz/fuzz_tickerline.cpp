// The index service's answers, joined and turned into ticker lines.
#include "window/TickerLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString reply = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    // The 43 index boxes, each reply appended to what is left of the one before.
    for (int box = 0; box < 43; ++box) {
        const qsizetype before = reply.size();
        const QString line = TickerLine::take(reply);
        if (reply.size() > before)
            std::abort();
        if (line.isEmpty() && reply.size() == before)
            break; // nothing complete left; the next box's reply would join it
        const quint32 color = TickerLine::color(line);
        if (color != TickerLine::Unchanged && color != TickerLine::Rising &&
            color != TickerLine::Falling)
            std::abort();
    }
    TickerLine::shortenName(reply);
    return 0;
}
