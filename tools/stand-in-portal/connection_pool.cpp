#include "connection_pool.h"

#include <Poco/Exception.h>

namespace standin {

ConnectionPool::ConnectionPool(std::size_t maxConnections)
    : maxConnections_(maxConnections)
{
}

ConnectionPool::~ConnectionPool()
{
    stop();
}

bool ConnectionPool::waitForSlot(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    joinFinished();
    return workerFinished_.wait_for(lock, timeout, [this] {
        joinFinished();
        return workers_.size() < maxConnections_;
    });
}

void ConnectionPool::run(const Poco::Net::StreamSocket& socket, std::function<void()> serve)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    Worker& worker = workers_.emplace_back();
    worker.socket = socket;
    // The thread marks itself under the mutex, which this call holds until it is stored.
    worker.thread = std::thread([this, &worker, serve = std::move(serve)] {
        serve();
        const std::lock_guard<std::mutex> finishedLock(mutex_);
        worker.finished = true;
        workerFinished_.notify_all();
    });
}

void ConnectionPool::stop()
{
    std::list<Worker> stopping;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (Worker& worker : workers_) {
            try {
                worker.socket.shutdown();
            } catch (const Poco::Exception&) {
                // Already closed by its own thread.
            }
        }
        stopping.splice(stopping.end(), workers_);
    }
    for (Worker& worker : stopping)
        worker.thread.join();
}

void ConnectionPool::joinFinished()
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->finished) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace standin
