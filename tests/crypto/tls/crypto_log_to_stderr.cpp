#include "crypto/engine/log_hook.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

// The crypto library's records (why a handshake failed) go to the test output.
class CryptoLogToStderr : public ::testing::Environment
{
public:
    void SetUp() override
    {
        nxcrypto::setLogHook([](nxcrypto::LogLevel, const QString& text) {
            std::cerr << "[crypto log] " << text.toStdString() << std::endl;
        });
    }
};

const ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new CryptoLogToStderr);

} // namespace
