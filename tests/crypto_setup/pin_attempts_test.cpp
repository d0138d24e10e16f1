#include "crypto_setup/pin_attempts.h"

#include "crypto/errors/exception.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using tessel::PinAttempts;

class PinAttemptsTest : public testing::Test
{
protected:
    std::vector<long long> pauses;
    PinAttempts attempts{[this](std::chrono::seconds pause) { pauses.push_back(pause.count()); }};

    // true when the PIN was taken.
    bool attempt(const QString& container, bool right)
    {
        try {
            attempts.attempt(container, [right] {
                if (!right)
                    throw nxcrypto::WrongPassword(QStringLiteral("wrong"));
            });
            return true;
        } catch (const nxcrypto::WrongPassword&) {
            return false;
        }
    }
};

TEST_F(PinAttemptsTest, WaitsDoubleAfterThreeWrongPinsUpToAMinute)
{
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(attempt(QStringLiteral("user"), false));
    EXPECT_EQ(pauses, (std::vector<long long>{1, 2, 4, 8, 16, 32, 60, 60, 60}));
}

TEST_F(PinAttemptsTest, TheRightPinWaitsItsTurnTooAndForgivesTheWrongOnes)
{
    for (int i = 0; i < 5; ++i)
        attempt(QStringLiteral("user"), false);
    EXPECT_TRUE(attempt(QStringLiteral("user"), true));
    EXPECT_EQ(pauses, (std::vector<long long>{1, 2, 4}));
    pauses.clear();
    for (int i = 0; i < 3; ++i)
        attempt(QStringLiteral("user"), false);
    EXPECT_TRUE(pauses.empty());
}

TEST_F(PinAttemptsTest, EachContainerCountsItsOwnWrongPins)
{
    for (int i = 0; i < 4; ++i)
        attempt(QStringLiteral("first"), false);
    EXPECT_FALSE(attempt(QStringLiteral("second"), false));
    EXPECT_EQ(pauses, (std::vector<long long>{1}));
}

TEST_F(PinAttemptsTest, OtherFailuresAreNoWrongPins)
{
    for (int i = 0; i < 5; ++i) {
        EXPECT_THROW(attempts.attempt(QStringLiteral("user"), [] { throw std::runtime_error("no provider"); }),
                     std::runtime_error);
    }
    EXPECT_FALSE(attempt(QStringLiteral("user"), false));
    EXPECT_TRUE(pauses.empty());
}

TEST(PinAttemptPauses, FollowTheWrongPinsInARow)
{
    const std::pair<int, long long> cases[] = {{0, 0}, {2, 0}, {3, 1}, {4, 2}, {8, 32}, {9, 60}, {1000, 60}};
    for (const auto& [wrongPins, seconds] : cases)
        EXPECT_EQ(PinAttempts::pauseAfter(wrongPins).count(), seconds) << wrongPins;
}

} // namespace
