#pragma once

#include <Poco/Net/StreamSocket.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace tessel {

// Ends the reading of a request head that does not arrive whole in time: a client that sends a
// header line now and then would otherwise hold a server thread for as long as it likes. One
// thread of its own watches every connection's deadline.
class HeadDeadlines
{
public:
    using Clock = std::chrono::steady_clock;

    HeadDeadlines();
    ~HeadDeadlines();

    HeadDeadlines(const HeadDeadlines&) = delete;
    HeadDeadlines& operator=(const HeadDeadlines&) = delete;

    // While a Watch lives, the socket's receiving is shut down at its deadline.
    class Watch
    {
    public:
        Watch(HeadDeadlines& deadlines, const Poco::Net::StreamSocket& socket, std::chrono::milliseconds bound);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

        // The deadline passed and the socket's receiving was shut down.
        bool expired() const;

    private:
        HeadDeadlines& m_deadlines;
        std::uint64_t m_id;
    };

private:
    struct Entry
    {
        Clock::time_point deadline;
        Poco::Net::StreamSocket socket;
        bool expired = false;
    };

    void watch();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<std::uint64_t, Entry> m_entries;
    std::uint64_t m_nextId = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace tessel
