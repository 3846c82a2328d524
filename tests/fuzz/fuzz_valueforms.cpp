// The settings file's values, read in each of the forms the settings use.
#include "screen/Colors.h"
#include "settings/ValueForms.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The settings file is UTF-8 text.
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    ValueForms::toInt16(text);
    ValueForms::toInt32(text);
    if (const auto single = ValueForms::toSingle(text))
        ValueForms::singleText(*single);
    ValueForms::toFlag(text);
    Colors::parse(text);
    return 0;
}
