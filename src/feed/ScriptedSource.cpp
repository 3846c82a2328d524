#include "ScriptedSource.h"

ScriptedSource::ScriptedSource(std::shared_ptr<QuoteSource> fallback)
    : m_fallback(std::move(fallback))
{
}

void ScriptedSource::enqueue(FeedReply reply)
{
    m_queue.push_back(std::move(reply));
}

void ScriptedSource::setFallback(std::shared_ptr<QuoteSource> fallback)
{
    m_fallback = std::move(fallback);
}

FeedReply ScriptedSource::answer(const FeedRequest &request)
{
    m_requests.append(request.target());
    if (!m_queue.empty()) {
        FeedReply reply = std::move(m_queue.front());
        m_queue.pop_front();
        return reply;
    }
    if (m_fallback)
        return m_fallback->answer(request);
    return FeedReply::error(404);
}
