#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tessel {

// Slows down the guessing of a key's PIN: after three wrong PINs for one key container, each
// further attempt waits 1 s, 2 s, 4 s ... up to 60 s before it is checked; the right PIN resets
// the count. Attempts on one container take turns, so that parallel guesses wait as well.
class PinAttempts
{
public:
    using Sleep = std::function<void(std::chrono::seconds)>;

    explicit PinAttempts(Sleep sleep);

    // The wait before the next attempt after so many wrong PINs in a row.
    static std::chrono::seconds pauseAfter(int wrongPins);

    // Runs check (which throws nxcrypto::WrongPassword for a wrong PIN) after the container's pause.
    void attempt(const QString& container, const std::function<void()>& check);

private:
    struct Container
    {
        std::mutex turn;
        int wrongPins = 0;
    };

    Container& containerOf(const QString& name);

    Sleep m_sleep;
    std::mutex m_mutex;
    std::map<QString, std::unique_ptr<Container>> m_containers;
};

} // namespace tessel
