#include "scripted_data_stream.h"

#include "forwarding/data_stream_buffer.h"

#include <gtest/gtest.h>

#include <istream>
#include <ostream>

namespace {

TEST(DataStreamBuffer, WritesInBlocksOfTheWriteArea)
{
    auto target = QSharedPointer<ScriptedDataStream>::create();
    tessel::DataStreamBuffer buffer(target);
    std::ostream out(&buffer);
    const std::string data(2500, 'w');
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    EXPECT_EQ(target->written.size(), 2048); // only full areas so far
    out.flush();
    EXPECT_TRUE(out.good());
    EXPECT_EQ(target->written.toStdString(), data);
    EXPECT_EQ(target->writeSizes, (QList<qint64>{1024, 1024, 452}));
}

TEST(DataStreamBuffer, ShortWriteFailsTheStream)
{
    auto target = QSharedPointer<ScriptedDataStream>::create();
    target->limitWrites(5);
    tessel::DataStreamBuffer buffer(target);
    std::ostream out(&buffer);
    out << "a request line\r\n";
    out.flush();
    EXPECT_TRUE(out.bad());
}

TEST(DataStreamBuffer, ReadsHandOnEachBlockUntilEmpty)
{
    auto source =
        QSharedPointer<ScriptedDataStream>::create(QList<QByteArray>{"first ", QByteArray(20000, 'b'), "last"});
    tessel::DataStreamBuffer buffer(source);
    std::istream in(&buffer);
    const std::string all(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(all, "first " + std::string(20000, 'b') + "last");
    EXPECT_EQ(source->reads, 4);
}

} // namespace
