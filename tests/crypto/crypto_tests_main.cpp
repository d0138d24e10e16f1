#include "crypto_test_support.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new crypto_test::TestPki);
    return RUN_ALL_TESTS();
}
