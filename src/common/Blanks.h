#pragma once

#include <QString>

// Trimming that removes blanks (spaces) only. The quote service's lines keep their tabs, CR
// and LF as separators, so QString::trimmed, which removes every kind of white space, would
// take fields with it.
namespace Blanks {

inline QString trim(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

inline QString trimLeading(const QString &text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text.at(begin) == u' ')
        ++begin;
    return text.mid(begin);
}

} // namespace Blanks
