// No copy of a dial-up password is left in the process after the component has used it:
// after a dial and hang-up, and after reading the entry's user name, the whole of this
// process's readable memory is searched for the password in UTF-16 and in the ANSI code
// page (and, for the simulated modem, whose reads are all ours, in UTF-8 too).
//
// The test never holds the whole password itself: it is written from two halves into a
// wiped buffer, and the search looks for the first half followed by the second. What the
// operations leave on the heap, freed or not, is what the search finds; the operations
// run in functions of their own, so their stack frames are gone before the search. A
// freed copy may be overwritten by later allocations before the search comes (the bus
// traffic of NetworkManager reuses much of the heap); under AddressSanitizer freed blocks
// wait in its quarantine instead, so there every copy freed unwiped is found.
#include "dialup/tdialup.h"

#include "platform/codepage.h"
#include "platform/ras_simulated_phonebook.h"
#include "platform/secret_buffer.h"

#include "networkmanager_mock.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

using namespace dialup;
using namespace platform::ras;

namespace {

// The password is "Hemligt-Lösen-7431"; it exists whole only in the phonebook file (and,
// for NetworkManager, in the mock's own process).
constexpr char16_t FirstHalf[] = u"Hemligt-L";
constexpr char16_t SecondHalf[] = u"ösen-7431";

std::string_view bytesOf(const char16_t *text)
{
    return {reinterpret_cast<const char *>(text), std::char_traits<char16_t>::length(text) * sizeof(char16_t)};
}

struct Needle
{
    const char *name;
    std::string_view first;
    std::string_view second;
};

// Regions larger than this are the sanitizers' shadow memory, reserved but never holding
// data of the program (reading them would take hours of zero pages).
constexpr unsigned long long LargestRegion = 1ULL << 30;
constexpr std::size_t Chunk = 1 << 20;

struct Region
{
    unsigned long long begin;
    unsigned long long end;
};

QList<Region> readableRegions()
{
    QList<Region> regions;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return regions;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || !fields[1].startsWith('r'))
            continue;
        if (fields.size() >= 6 && (fields[5] == "[vvar]" || fields[5] == "[vsyscall]" || fields[5] == "[vvar_vclock]"))
            continue;
        const QList<QByteArray> range = fields[0].split('-');
        const Region r{range[0].toULongLong(nullptr, 16), range[1].toULongLong(nullptr, 16)};
        if (r.end - r.begin <= LargestRegion)
            regions.append(r);
    }
    return regions;
}

// Where needle.first is followed by needle.second in [data, data + size); first must
// start before data + limit (the rest of the chunk is its overlap with the next one).
int countIn(const char *data, std::size_t size, std::size_t limit, const Needle &needle)
{
    int found = 0;
    const std::size_t whole = needle.first.size() + needle.second.size();
    for (const char *at = data; at < data + limit;) {
        const auto *hit = static_cast<const char *>(::memmem(at, std::size_t(data + size - at), needle.first.data(),
                                                             needle.first.size()));
        if (!hit || hit >= data + limit)
            break;
        if (std::size_t(data + size - hit) >= whole
            && std::memcmp(hit + needle.first.size(), needle.second.data(), needle.second.size()) == 0)
            ++found;
        at = hit + 1;
    }
    return found;
}

// The search reads through /proc/self/mem into a mapping of its own, which it skips and
// wipes, so one region's bytes are never found again in the copy.
int occurrencesInOwnMemory(const Needle &needle)
{
    const std::size_t overlap = needle.first.size() + needle.second.size();
    const std::size_t bufferSize = Chunk + overlap;
    void *mapped = ::mmap(nullptr, bufferSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return -1;
    auto *buffer = static_cast<char *>(mapped);
    const auto own = reinterpret_cast<unsigned long long>(buffer);
    const int mem = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    int found = 0;
    for (const Region &r : readableRegions()) {
        if (r.begin <= own && own < r.end)
            continue;
        for (unsigned long long at = r.begin; at < r.end; at += Chunk) {
            const std::size_t want = std::size_t(std::min<unsigned long long>(bufferSize, r.end - at));
            const ssize_t got = ::pread(mem, buffer, want, off_t(at));
            if (got <= 0)
                break; // unreadable after all (a guard page): the rest of the region too
            found += countIn(buffer, std::size_t(got), std::min<std::size_t>(std::size_t(got), Chunk), needle);
        }
    }
    platform::wipeBytes(buffer, bufferSize);
    ::close(mem);
    ::munmap(mapped, bufferSize);
    return found;
}

// Needles over halves that are static data of the test: UTF-16, the ANSI code page, UTF-8.
struct Needles
{
    Needles()
        : utf16{"UTF-16", bytesOf(FirstHalf), bytesOf(SecondHalf)}
        , ansi{"ANSI", ansiFirst.view(), ansiSecond.view()}
        , utf8{"UTF-8", "Hemligt-L", "\xC3\xB6sen-7431"}
    {
    }
    platform::SecretBuffer ansiFirst = platform::toAnsiSecret(FirstHalf);
    platform::SecretBuffer ansiSecond = platform::toAnsiSecret(SecondHalf);
    Needle utf16;
    Needle ansi;
    Needle utf8;
};

void expectNoCopies(const QList<Needle> &needles, const char *after)
{
    for (const Needle &needle : needles)
        EXPECT_EQ(occurrencesInOwnMemory(needle), 0) << needle.name << " copies of the password after " << after;
}

platform::SecretBuffer password()
{
    platform::SecretBuffer whole = platform::toAnsiSecret(FirstHalf);
    const platform::SecretBuffer second = platform::toAnsiSecret(SecondHalf);
    whole.append(second.data(), second.size());
    return whole;
}

__attribute__((noinline)) void writeEntry()
{
    SimulatedEntry entry;
    entry.name = QStringLiteral("Hemlig");
    entry.userName = QStringLiteral("kalle");
    entry.password = password();
    entry.states = {OpeningPort, PortOpened, Authenticate};
    entry.stepDelayMs = 1;
    writeSimulatedEntry(entry);
}

__attribute__((noinline)) void dialAndHangUp(const QString &entry)
{
    TDialUp dialUp;
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(entry);
    ASSERT_EQ(dialUp.Dial(), 0);
    ASSERT_EQ(dialUp.HangUp(), 0);
}

__attribute__((noinline)) void readUserName(const QString &entry)
{
    TDialUp dialUp;
    dialUp.SetEntry(entry);
    QString user;
    ASSERT_EQ(dialUp.GetEntryUserName(user), 0);
    EXPECT_EQ(user, QStringLiteral("kalle"));
}

// A sanity check of the search itself: a copy made on purpose is found, once.
TEST(PasswordMemory, TheSearchFindsACopyOnTheHeap)
{
    const Needles needles;
    platform::SecretBuffer copy = password();
    EXPECT_EQ(occurrencesInOwnMemory(needles.ansi), 1);
    copy.clear();
    EXPECT_EQ(occurrencesInOwnMemory(needles.ansi), 0);
}

TEST(PasswordMemory, SimulatedModemLeavesNoCopy)
{
    qputenv("TELLVARA_RAS_BACKEND", "simulated");
    const Needles needles;
    const QList<Needle> all{needles.utf16, needles.ansi, needles.utf8};
    writeEntry();
    expectNoCopies(all, "writing the entry");
    dialAndHangUp(QStringLiteral("Hemlig"));
    expectNoCopies(all, "a dial and hang-up");
    readUserName(QStringLiteral("Hemlig"));
    expectNoCopies(all, "reading the user name");
}

// NetworkManager hands the secret over the bus as UTF-8, in buffers of the bus library
// that are out of the provider's reach; what the provider decodes from them is its own.
TEST(PasswordMemory, NetworkManagerLeavesNoDecodedCopy)
{
    nmtest::NetworkManagerMock nm;
    nm.activateWith(nmtest::ActivateAndConnect);
    // As NetworkManager does, the mock gives the password only through GetSecrets.
    nm.runOnSettings(QStringLiteral(
        "p = self.SettingsAddConnection({'connection': {'id': 'Hemlig', 'type': 'gsm', 'uuid': 'u-hemlig'}, "
        "'gsm': {'number': '*99#', 'username': 'kalle'}})\n"
        "objects[p].AddMethod('org.freedesktop.NetworkManager.Settings.Connection', 'GetSecrets', 's', 'a{sa{sv}}', "
        "\"ret = dbus.Dictionary({'gsm': dbus.Dictionary({'password': 'Hemligt-L' + '\\\\u00f6sen-7431'}, "
        "signature='sv')}, signature='sa{sv}')\")\n"));
    const Needles needles;
    const QList<Needle> decoded{needles.utf16, needles.ansi};
    dialAndHangUp(QStringLiteral("Hemlig"));
    expectNoCopies(decoded, "a dial and hang-up");
    readUserName(QStringLiteral("Hemlig"));
    expectNoCopies(decoded, "reading the user name");
}

} // namespace
