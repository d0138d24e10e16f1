#include "crypto_setup/pin_attempts.h"

#include "crypto/errors/exception.h"
#include "tessel/log_record.h"

#include <algorithm>

namespace tessel {
namespace {

constexpr int freeAttempts = 3;
constexpr std::chrono::seconds longestPause(60);

} // namespace

PinAttempts::PinAttempts(Sleep sleep) : m_sleep(std::move(sleep)) {}

std::chrono::seconds PinAttempts::pauseAfter(int wrongPins)
{
    if (wrongPins < freeAttempts)
        return std::chrono::seconds(0);
    const int doublings = std::min(wrongPins - freeAttempts, 6);
    return std::min(std::chrono::seconds(1LL << doublings), longestPause);
}

PinAttempts::Container& PinAttempts::containerOf(const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Container>& container = m_containers[name];
    if (!container)
        container = std::make_unique<Container>();
    return *container;
}

void PinAttempts::attempt(const QString& container, const std::function<void()>& check)
{
    Container& state = containerOf(container);
    std::lock_guard<std::mutex> turn(state.turn);
    const std::chrono::seconds pause = pauseAfter(state.wrongPins);
    if (pause.count() > 0) {
        LOG_WARN << QStringLiteral("%1 wrong PINs in a row for the key container \"%2\": the next attempt waits %3 s")
                        .arg(state.wrongPins)
                        .arg(container)
                        .arg(pause.count());
        m_sleep(pause);
    }
    try {
        check();
    } catch (const nxcrypto::WrongPassword&) {
        ++state.wrongPins;
        throw;
    }
    state.wrongPins = 0;
}

} // namespace tessel
