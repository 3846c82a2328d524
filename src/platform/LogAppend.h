#pragma once

#include <QByteArray>
#include <QString>

// Appends whole lines to a log file: the bytes go to the file in one unbuffered write and
// are flushed at once, so that a program killed at any moment leaves the file ending in a
// whole line. Returns an empty text on success, or why the file could not be written.
QString appendWholeLines(const QString &path, const QByteArray &lines);
