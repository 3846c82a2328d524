#include "LiveQuote.h"

void LiveQuote::deriveChange()
{
    if (!last || !previousClose)
        return;
    if (!change)
        change = *last - *previousClose;
    if (!changePercent && *previousClose != 0)
        changePercent = *change / *previousClose * 100;
}
