#include "LogAppend.h"

#include <QFile>

Result appendWholeLines(const QString &path, const QByteArray &lines)
{
    QFile file(path);
    // Unbuffered: QFile hands the whole block to one write call instead of cutting it at
    // its buffer's size.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) &&
        file.write(lines) == lines.size() && file.flush())
        return {};
    return RuntimeError(QStringLiteral("Vantora"), RuntimeError::PathFileAccess,
                        file.errorString());
}
