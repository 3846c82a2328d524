// The quote service's answer, cut into lines and the thirteen grid columns.
#include "quotes/QuoteParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The answer is single-byte text, as the downloader decodes it.
    QString reply = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    QuoteParser::isQuoteText(reply, QString());
    // One line per symbol row, at most 30 rows, as the download takes them; every call must
    // shorten the reply or leave it as it was with an empty line.
    for (int row = 0; row < 31; ++row) {
        const qsizetype before = reply.size();
        const QString line = QuoteParser::nextQuoteLine(reply);
        if (reply.size() > before)
            std::abort();
        if (line.isEmpty() && reply.size() == before)
            break; // no complete line left: every later row gets empty fields
        const QuoteParser::QuoteColumns columns = QuoteParser::splitColumns(line);
        for (const QString &field : columns) {
            if (field.contains(u'\t'))
                std::abort();
        }
    }
    return 0;
}
