#pragma once

#include <QString>

#include <functional>

// Turning the index service's answer into the ticker's lines. Text only, so that it can be
// tested and fuzzed without a window.
namespace TickerLine {

// The colours a line scrolls in (blue-green-red order).
inline constexpr quint32 Unchanged = 0xDDDDDD;
inline constexpr quint32 Falling = 0x30FF;
inline constexpr quint32 Rising = 0xFF00;

// Takes the first complete line off the front of replyText and turns it into a ticker
// line: the shortened index name, then the fields from the third on that survive the
// dropping of the seven last ones, all separated by six spaces. Without a line feed in
// replyText the result is "" and replyText stays (cleaned) for the next reply to join.
// pumpEvents runs where the ticker lets pending window events through.
QString take(QString &replyText, const std::function<void()> &pumpEvents = nullptr);
// The shortened name of an index: the first matching rule, every occurrence.
QString shortenName(const QString &name);
// The colour a line scrolls in: the sign of the change, looked for from its 16th
// character on; "+" wins over "-".
quint32 color(const QString &line);

} // namespace TickerLine
