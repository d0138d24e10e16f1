#pragma once

#include <Poco/Net/StreamSocket.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace standin {

// A thread for each connection, at most maxConnections at once.
class ConnectionPool {
public:
    explicit ConnectionPool(std::size_t maxConnections);
    ~ConnectionPool();

    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // True when a thread is free now or becomes free within timeout.
    bool waitForSlot(std::chrono::milliseconds timeout);
    // Runs serve on a thread of its own; the socket is shut down if the pool stops first.
    void run(const Poco::Net::StreamSocket& socket, std::function<void()> serve);
    // Shuts every open connection down and waits for their threads.
    void stop();

private:
    struct Worker {
        Poco::Net::StreamSocket socket;
        std::thread thread;
        bool finished = false;
    };

    void joinFinished();

    const std::size_t maxConnections_;
    std::mutex mutex_;
    std::condition_variable workerFinished_;
    std::list<Worker> workers_;
};

} // namespace standin
