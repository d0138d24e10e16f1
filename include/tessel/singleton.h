#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>

namespace tessel {

// Holder of one process-wide object, made on first use by its factory. Interfaces hold their
// object without a factory; the composition root of the program gives them theirs.
template <class T>
class Singleton
{
public:
    using Factory = std::function<T*()>;

    Singleton() = default;
    explicit Singleton(Factory factory) : m_factory(std::move(factory)) {}
    ~Singleton() { delete m_object.load(); }

    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    T* instance()
    {
        T* object = m_object.load(std::memory_order_acquire);
        if (object)
            return object;
        std::lock_guard<std::mutex> lock(m_mutex);
        object = m_object.load(std::memory_order_relaxed);
        if (!object) {
            if (!m_factory)
                throw std::logic_error("No factory is installed for a process-wide object");
            object = m_factory();
            m_object.store(object, std::memory_order_release);
        }
        return object;
    }

    // The factory of later creations; an object already made stays.
    void setFactory(Factory factory)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_factory = std::move(factory);
    }

    // Replaces the object by a new one from the factory; the old one is deleted.
    void recreate()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        T* previous = m_object.exchange(m_factory(), std::memory_order_acq_rel);
        delete previous;
    }

    // Re-creates the object with another factory, kept for later re-creations; tests put doubles in place with it.
    void recreate(Factory factory)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_factory = std::move(factory);
        T* previous = m_object.exchange(m_factory(), std::memory_order_acq_rel);
        delete previous;
    }

    // Deletes the object now instead of at process exit; a later instance() makes a new one.
    void destroy()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        delete m_object.exchange(nullptr, std::memory_order_acq_rel);
    }

private:
    std::atomic<T*> m_object{nullptr};
    std::mutex m_mutex;
    Factory m_factory;
};

} // namespace tessel
