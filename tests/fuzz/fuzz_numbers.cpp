// The number reader behind every price, share count and money amount, and the formats.
#include "common/Money.h"
#include "common/Numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte splits the input into a text to read and a format pattern.
    const size_t split = qMin<size_t>(data[0], size - 1);
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(split));
    const QString pattern = QString::fromLatin1(reinterpret_cast<const char *>(data + 1 + split),
                                                qsizetype(size - 1 - split));
    const double value = Val(text);
    if (IsNumeric(text) && std::isnan(value))
        std::abort();
    Format(value, pattern);
    FormatIfNumeric(text, pattern);
    Money::fromText(text);
    return 0;
}
