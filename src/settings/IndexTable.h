#pragma once

#include <QString>

#include <array>

// The market indices offered on the "US Indices" tab of the Options window. Entry i
// belongs to the check box chkIndex(i): the quote-server symbol that box requests, its
// caption, and the framed group (FrameIndex) it sits in. The index of an entry is also
// the slot of its line in the ticker feed, so the order here must never change.
class IndexTable
{
public:
    struct Entry
    {
        const char *symbol;
        const char *caption;
        int frame;
    };

    static constexpr int count = 42;
    static constexpr int frameCount = 8;

    static const std::array<Entry, count> &entries();

    // Out-of-range indices give an empty text (and frame -1).
    static QString symbol(int index);
    static QString caption(int index);
    static int frame(int index);
    static QString frameTitle(int frame);
};
