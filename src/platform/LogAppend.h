#pragma once

#include "common/Result.h"

#include <QByteArray>
#include <QString>

// Appends whole lines to a log file: the bytes go to the file in one unbuffered write and
// are flushed at once, so that a program killed at any moment leaves the file ending in a
// whole line. A file that cannot be written gives a PathFileAccess error whose description
// says why.
Result appendWholeLines(const QString &path, const QByteArray &lines);
