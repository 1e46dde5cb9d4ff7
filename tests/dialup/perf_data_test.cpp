// The performance-data block built from /proc/net/dev counters and the walker that reads
// it: well-formed blocks, damaged ones (each field pointing outside, every truncation,
// random damage), and the component's statistics over a counters file of the test's own.
#include "dialup/perf_data_walker.h"
#include "dialup/tdialup.h"

#include "platform/performance_data.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QtEndian>

using namespace dialup;
using namespace platform::perf;

namespace {

const QByteArray Header = "Inter-|   Receive                                                |  Transmit\n"
                          " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier compressed\n";

QByteArray line(const char *name, quint64 received, quint64 sent)
{
    return QByteArray("  ") + name + ": " + QByteArray::number(received) + " 10 0 0 0 0 0 0 " + QByteArray::number(sent)
           + " 12 0 0 0 0 0 0\n";
}

QByteArray twoPppBlock()
{
    return buildRasPortBlock(Header + line("lo", 900000, 900000) + line("ppp0", 5000, 1000) + line("eth0", 1 << 30, 1 << 30)
                             + line("ppp1", 2000, 3000));
}

std::uint32_t get32(const QByteArray &block, std::size_t offset)
{
    return qFromLittleEndian<std::uint32_t>(block.constData() + offset);
}

void put32(QByteArray &block, std::size_t offset, std::uint32_t value)
{
    qToLittleEndian(value, block.data() + offset);
}

std::size_t objectAt(const QByteArray &block)
{
    return get32(block, BlockHeaderLength);
}

std::size_t firstInstanceAt(const QByteArray &block)
{
    return objectAt(block) + get32(block, objectAt(block) + ObjectDefinitionLength);
}

TEST(PerfData, LargestValueOfEveryInstanceWins)
{
    PerfByteCounters counters;
    ASSERT_TRUE(WalkPerfData(twoPppBlock(), counters));
    EXPECT_EQ(counters.sent, 3000u);
    EXPECT_EQ(counters.received, 5000u);
}

TEST(PerfData, NothingIsLowered)
{
    PerfByteCounters counters{4000, 100};
    ASSERT_TRUE(WalkPerfData(twoPppBlock(), counters));
    EXPECT_EQ(counters.sent, 4000u);
    EXPECT_EQ(counters.received, 5000u);
}

TEST(PerfData, NegativeValuesAreIgnored)
{
    PerfByteCounters counters;
    // Counters are 32 bits: 0x80000001 reads as negative.
    ASSERT_TRUE(WalkPerfData(buildRasPortBlock(Header + line("ppp0", 0x80000001ull, 0x1'0000'0007ull)), counters));
    EXPECT_EQ(counters.received, 0u);
    EXPECT_EQ(counters.sent, 7u); // truncated to 32 bits, as the counters wrap
}

TEST(PerfData, NoPppInterfaceGivesNoObject)
{
    PerfByteCounters counters{1, 2};
    const QByteArray block = buildRasPortBlock(Header + line("eth0", 5, 6));
    EXPECT_EQ(get32(block, BlockNumObjectTypes), 0u);
    EXPECT_FALSE(WalkPerfData(block, counters));
    EXPECT_EQ(counters.sent, 1u);
    EXPECT_EQ(counters.received, 2u);
}

TEST(PerfData, KeepsTheInterfaceResponsivePerObjectAndDefinition)
{
    int calls = 0;
    PerfByteCounters counters;
    ASSERT_TRUE(WalkPerfData(twoPppBlock(), counters, [&] { ++calls; }));
    EXPECT_EQ(calls, 3); // one object, two counter definitions
}

struct Damage
{
    const char *what;
    std::function<void(QByteArray &)> apply;
};

TEST(PerfData, DamagedBlocksGiveFalseAndLeaveTheCounters)
{
    const Damage damages[] = {
        {"header length past the end", [](QByteArray &b) { put32(b, BlockHeaderLength, 0xFFFFFFF0u); }},
        {"more objects than there are", [](QByteArray &b) { put32(b, BlockNumObjectTypes, 2); }},
        {"object length zero", [](QByteArray &b) { put32(b, objectAt(b) + ObjectTotalByteLength, 0); }},
        {"object length past the end", [](QByteArray &b) { put32(b, objectAt(b) + ObjectTotalByteLength, 0x7FFFFFFFu); }},
        {"definitions past the object", [](QByteArray &b) { put32(b, objectAt(b) + ObjectHeaderLength, 0x10000); }},
        {"header length inside the header", [](QByteArray &b) { put32(b, objectAt(b) + ObjectHeaderLength, 4); }},
        {"fifty-one counters", [](QByteArray &b) { put32(b, objectAt(b) + ObjectNumCounters, 51); }},
        {"a billion counters", [](QByteArray &b) { put32(b, objectAt(b) + ObjectNumCounters, 1000000000u); }},
        {"definition length zero",
         [](QByteArray &b) { put32(b, objectAt(b) + ObjectSize + CounterByteLength, 0); }},
        {"counter offset outside its block",
         [](QByteArray &b) { put32(b, objectAt(b) + ObjectSize + CounterOffset, 0xFFFFFFFEu); }},
        {"instances start past the object",
         [](QByteArray &b) { put32(b, objectAt(b) + ObjectDefinitionLength, 0x7FFFFFFFu); }},
        {"a billion instances", [](QByteArray &b) { put32(b, objectAt(b) + ObjectNumInstances, 1000000000u); }},
        {"instance length zero", [](QByteArray &b) { put32(b, firstInstanceAt(b) + InstanceByteLength, 0); }},
        {"instance length past the end",
         [](QByteArray &b) { put32(b, firstInstanceAt(b) + InstanceByteLength, 0xFFFFFFFFu); }},
        {"counter block length zero",
         [](QByteArray &b) {
             const std::size_t block = firstInstanceAt(b) + get32(b, firstInstanceAt(b) + InstanceByteLength);
             put32(b, block + CounterBlockByteLength, 0);
         }},
        {"fewer than 100 bytes", [](QByteArray &b) { b.truncate(99); }},
    };
    for (const Damage &damage : damages) {
        QByteArray block = twoPppBlock();
        damage.apply(block);
        PerfByteCounters counters{7, 8};
        EXPECT_FALSE(WalkPerfData(block, counters)) << damage.what;
        EXPECT_EQ(counters.sent, 7u) << damage.what;
        EXPECT_EQ(counters.received, 8u) << damage.what;
    }
}

TEST(PerfData, EveryTruncationGivesFalse)
{
    const QByteArray block = twoPppBlock();
    for (qsizetype length = 0; length < block.size(); ++length) {
        PerfByteCounters counters;
        EXPECT_FALSE(WalkPerfData(block.left(length), counters)) << length;
    }
}

TEST(PerfData, RandomDamageNeverReadsOutside)
{
    // Out-of-block reads show up under the sanitizers; here the walk must simply end.
    QRandomGenerator random(906);
    const QByteArray original = twoPppBlock();
    for (int round = 0; round < 5000; ++round) {
        QByteArray block = original;
        for (int flips = random.bounded(1, 6); flips > 0; --flips)
            block[random.bounded(int(block.size()))] = char(random.bounded(256));
        PerfByteCounters counters;
        WalkPerfData(block, counters);
    }
    SUCCEED();
}

TEST(PerfData, SampleBlocksAndTheirDamage)
{
    struct Sample
    {
        const char *file;
        bool readable;
        std::uint32_t sent;
        std::uint32_t received;
    };
    const Sample samples[] = {
        {"one_ppp.bin", true, 1000, 5000},
        {"two_ppp.bin", true, 3000, 5000},
        {"no_object.bin", false, 0, 0},
    };
    for (const Sample &sample : samples) {
        const QByteArray block = testenv::readFile(testenv::sourceDir() + "/tests/data/dialup_perf_data/" + sample.file);
        ASSERT_FALSE(block.isEmpty()) << sample.file;
        PerfByteCounters counters;
        EXPECT_EQ(WalkPerfData(block, counters), sample.readable) << sample.file;
        EXPECT_EQ(counters.sent, sample.sent) << sample.file;
        EXPECT_EQ(counters.received, sample.received) << sample.file;
        // Every single byte set to every value: the walk ends, whatever it says.
        for (qsizetype at = 0; at < block.size(); ++at) {
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                QByteArray damaged = block;
                damaged[at] = char(value);
                PerfByteCounters ignored;
                WalkPerfData(damaged, ignored);
            }
        }
    }
}

class PerfStatsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("TELLVARA_PROC_NET_DEV", m_file.toUtf8());
        PerfDataBufferSize = 0;
    }
    void setCounters(quint64 received, quint64 sent)
    {
        testenv::writeFile(m_file, Header + line("eth0", 77, 77) + line("ppp0", received, sent));
    }

    QString m_file = testenv::root() + "/net-dev";
};

TEST_F(PerfStatsTest, BytesNeverFallUnlessTheBaselineIsReset)
{
    TDialUp dialUp;
    setCounters(5000, 1000);
    ASSERT_TRUE(dialUp.GetPerfStats());
    EXPECT_EQ(dialUp.BytesRecv(), 5000u);
    EXPECT_EQ(dialUp.BytesXmit(), 1000u);
    EXPECT_EQ(PerfDataBufferSize, 8192u);

    // The interface came up again: the platform total falls.
    setCounters(300, 200);
    ASSERT_TRUE(dialUp.GetPerfStats());
    EXPECT_EQ(dialUp.BytesRecv(), 5000u);
    EXPECT_EQ(dialUp.BytesXmit(), 1000u);

    ASSERT_TRUE(dialUp.InitializePerfStats(false, false));
    EXPECT_EQ(dialUp.BytesRecv(), 0u);
    EXPECT_EQ(dialUp.BytesXmit(), 0u);
    ASSERT_TRUE(dialUp.GetPerfStats());
    EXPECT_EQ(dialUp.BytesRecv(), 300u);
    EXPECT_EQ(dialUp.BytesXmit(), 200u);
}

TEST_F(PerfStatsTest, InitializeWithStartReadsThenResets)
{
    TDialUp dialUp;
    setCounters(5000, 1000);
    EXPECT_TRUE(dialUp.InitializePerfStats(true, true));
    EXPECT_EQ(dialUp.BytesRecv(), 0u);
    EXPECT_EQ(dialUp.BytesXmit(), 0u);
    EXPECT_EQ(dialUp.ConnectionSpeed(), 0u);
}

TEST_F(PerfStatsTest, UnavailableDataLeavesTheCounters)
{
    TDialUp dialUp;
    setCounters(5000, 1000);
    ASSERT_TRUE(dialUp.GetPerfStats());
    testenv::writeFile(m_file, Header + line("eth0", 1, 1));
    EXPECT_FALSE(dialUp.GetPerfStats());
    qputenv("TELLVARA_PROC_NET_DEV", QByteArray("/nonexistent/net-dev"));
    EXPECT_FALSE(dialUp.GetPerfStats());
    EXPECT_EQ(dialUp.BytesRecv(), 5000u);
    EXPECT_EQ(dialUp.BytesXmit(), 1000u);
}

TEST_F(PerfStatsTest, BufferGrowsByKilobytesUntilTheBlockFits)
{
    QByteArray text = Header;
    for (int i = 0; i < 200; ++i)
        text += line(QByteArray("ppp" + QByteArray::number(i)).constData(), 100 + i, 50 + i);
    testenv::writeFile(m_file, text);
    const std::uint32_t needed = std::uint32_t(buildRasPortBlock(text).size());
    ASSERT_GT(needed, 8192u);
    TDialUp dialUp;
    ASSERT_TRUE(dialUp.GetPerfStats());
    EXPECT_EQ((PerfDataBufferSize - 8192) % 1024, 0u);
    EXPECT_GE(PerfDataBufferSize, needed);
    EXPECT_LT(PerfDataBufferSize - 1024, needed);
    EXPECT_EQ(dialUp.BytesRecv(), 299u);
    EXPECT_EQ(dialUp.BytesXmit(), 249u);
}

TEST(PerfStats, OtherFamilyStatisticsAreAbsent)
{
    TDialUp dialUp;
    EXPECT_FALSE(dialUp.SearchDUNA());
    EXPECT_TRUE(dialUp.DUNA().isEmpty());
}

} // namespace
