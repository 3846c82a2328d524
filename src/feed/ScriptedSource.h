#pragma once

#include "QuoteSource.h"

#include <QStringList>

#include <deque>
#include <memory>

// A source that answers from a script, for tests: each request takes the next queued
// reply; with the queue empty it asks the fallback source, or answers 404 when there is
// none. Every request is recorded (path and query as received) so that a test can check
// exactly what was asked.
class ScriptedSource : public QuoteSource
{
public:
    ScriptedSource() = default;
    explicit ScriptedSource(std::shared_ptr<QuoteSource> fallback);

    void enqueue(FeedReply reply);
    void setFallback(std::shared_ptr<QuoteSource> fallback);
    int pending() const { return int(m_queue.size()); }

    // "/download/quotes.csv?f=spelcvomrn=.csv&s=msft,", oldest first.
    QStringList requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

    FeedReply answer(const FeedRequest &request) override;

private:
    std::deque<FeedReply> m_queue;
    std::shared_ptr<QuoteSource> m_fallback;
    QStringList m_requests;
};
