#include "server/head_deadlines.h"

#include <algorithm>

namespace tessel {

HeadDeadlines::HeadDeadlines() : m_thread(&HeadDeadlines::watch, this) {}

HeadDeadlines::~HeadDeadlines()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

HeadDeadlines::Watch::Watch(HeadDeadlines& deadlines, const Poco::Net::StreamSocket& socket,
                            std::chrono::milliseconds bound)
    : m_deadlines(deadlines)
{
    {
        std::lock_guard<std::mutex> lock(deadlines.m_mutex);
        m_id = deadlines.m_nextId++;
        deadlines.m_entries.emplace(m_id, Entry{Clock::now() + bound, socket});
    }
    deadlines.m_changed.notify_all();
}

HeadDeadlines::Watch::~Watch()
{
    std::lock_guard<std::mutex> lock(m_deadlines.m_mutex);
    m_deadlines.m_entries.erase(m_id);
}

bool HeadDeadlines::Watch::expired() const
{
    std::lock_guard<std::mutex> lock(m_deadlines.m_mutex);
    const auto it = m_deadlines.m_entries.find(m_id);
    return it != m_deadlines.m_entries.end() && it->second.expired;
}

void HeadDeadlines::watch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        Clock::time_point next = Clock::time_point::max();
        const Clock::time_point now = Clock::now();
        for (auto& [id, entry] : m_entries) {
            if (entry.expired)
                continue;
            if (entry.deadline <= now) {
                entry.expired = true;
                try {
                    entry.socket.shutdownReceive();
                } catch (const Poco::Exception&) {
                    // already closed by its connection
                }
            } else {
                next = std::min(next, entry.deadline);
            }
        }
        if (next == Clock::time_point::max())
            m_changed.wait(lock);
        else
            m_changed.wait_until(lock, next);
    }
}

} // namespace tessel
