#pragma once

#include "FeedConfig.h"
#include "UpstreamSource.h"

#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class QuoteSource;

// The sources the feed can answer from, by name: "simulated" (the demo market, the
// default), "yahoo", "stooq" and "finnhub" (live quotes fetched from the Internet).
namespace FeedSources {

inline constexpr const char *kDefault = FeedConfig::kDefaultSource;

QStringList names();
bool isKnown(const QString &name);
// The name in its stored form (trimmed, lower case); an unknown name gives the default.
QString normalized(const QString &name);
// "Yahoo Finance": what the Options window shows for a name.
QString displayName(const QString &name);

// True for a source that takes an API key: "stooq" (it asks for one) and "finnhub" (it
// answers nothing without one).
bool takesKey(const QString &name);
bool needsKey(const QString &name);
// The environment variable that holds a source's key: "VANTORA_STOOQ_KEY".
QByteArray keyVariable(const QString &name);

// A new source; nullptr for an unknown name. upstream, when not empty, replaces every host
// of a live source (tests point it at a local server); the simulated market takes seed;
// a keyed source takes key.
std::shared_ptr<QuoteSource> make(const QString &name, const QUrl &upstream = {},
                                  quint64 seed = FeedConfig::kDefaultSeed,
                                  const UpstreamPolicy &policy = {}, const QString &key = {});

// Fetches one symbol (MSFT) from the named source with the key, as the Options window's
// Test button does, and calls done once with what happened in plain words: "Finnhub
// answered: MSFT 420.21", "the Finnhub key was refused", "Stooq asks for an API key",
// "Yahoo Finance: too many requests, next try in 40 s", "No answer from Stooq within 20 s".
// done runs from the event loop; upstream as for make().
void check(const QString &name, const QString &key, std::function<void(const QString &)> done,
           const QUrl &upstream = {}, int timeoutMs = 20000);

} // namespace FeedSources
