#include "Symbols.h"

namespace Symbols {

QString refusal(const QString &symbol)
{
    const QString text = symbol.trimmed();
    if (text.isEmpty())
        return QStringLiteral("a symbol cannot be empty or only blanks");
    for (const QChar ch : text) {
        if (ch.isSpace())
            return QStringLiteral("a symbol cannot hold blanks");
        if (ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format)
            return QStringLiteral("a symbol cannot hold control characters");
        switch (ch.unicode()) {
        case u',':
        case u'&':
        case u'#':
        case u'?':
        case u'%':
        case u'/':
            return QStringLiteral("a symbol cannot hold the character \"%1\"").arg(ch);
        default:
            break;
        }
    }
    return {};
}

} // namespace Symbols
