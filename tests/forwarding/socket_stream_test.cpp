#include "forwarding/socket_stream.h"

#include <Poco/Net/NetException.h>
#include <Poco/Net/ServerSocket.h>
#include <Poco/Net/StreamSocket.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class SocketStreamTest : public testing::Test
{
protected:
    Poco::Net::ServerSocket server{Poco::Net::SocketAddress("127.0.0.1", 0)};
    tessel::SocketStream stream;

    void connect(std::chrono::seconds timeout = 10s) { stream.connect("localhost", server.address().port(), timeout); }
};

TEST_F(SocketStreamTest, CarriesBytesBothWaysAndReadsEmptyOncePeerCloses)
{
    connect();
    Poco::Net::StreamSocket peer = server.acceptConnection();
    const QByteArray big(3 * 1024 * 1024, 'q'); // more than one send call takes
    std::thread receiver([&peer, &big] {
        std::string got(static_cast<std::size_t>(big.size()), '\0');
        std::size_t at = 0;
        while (at < got.size()) {
            const int n = peer.receiveBytes(&got[at], static_cast<int>(got.size() - at));
            if (n <= 0)
                break;
            at += static_cast<std::size_t>(n);
        }
        EXPECT_EQ(at, got.size());
        peer.sendBytes("pong", 4);
        peer.close();
    });
    EXPECT_EQ(stream.write(big), big.size());
    receiver.join();
    QByteArray answer;
    for (QByteArray block; !(block = stream.read(2)).isEmpty();)
        answer += block;
    EXPECT_EQ(answer, QByteArray("pong"));
}

TEST_F(SocketStreamTest, ReceiveTimeOutReadsAsEnd)
{
    connect(1s);
    Poco::Net::StreamSocket peer = server.acceptConnection();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(stream.read(100).isEmpty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(SocketStream, RefusedConnectionThrows)
{
    unsigned short closedPort;
    {
        Poco::Net::ServerSocket probe(Poco::Net::SocketAddress("127.0.0.1", 0));
        closedPort = probe.address().port();
    }
    tessel::SocketStream stream;
    EXPECT_THROW(stream.connect("127.0.0.1", closedPort, std::chrono::seconds(5)),
                 Poco::Net::ConnectionRefusedException);
}

} // namespace
