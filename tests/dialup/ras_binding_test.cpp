// The binding rules against small stand-in libraries: the main library with or without the
// function, the second library in its place, and the messages when either is missing.
#include "dialup/ras_binding.h"

#include "platform/dynamic_library.h"
#include "platform/error.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstdint>
#include <memory>

using dialup::RasBinding;

namespace {

using HangUp = std::uint32_t (*)(std::uint32_t);
using DeleteEntry = std::uint32_t (*)(const char *, const char *);
using EnumEntries = std::uint32_t (*)(const char *, const char *, void *, std::uint32_t *, std::uint32_t *);

RasBinding::Opener standin(const char *name)
{
    return [name] { return platform::openLibrary(QStringLiteral(DIALUP_STANDIN_DIR "/standin_%1.so").arg(name)); };
}

RasBinding::Opener missing()
{
    return [] { return platform::LibraryHandle(nullptr); };
}

QString messageOf(RasBinding &binding, const char *name)
{
    try {
        binding.LoadRasFunction(QLatin1String(name));
    } catch (const platform::Error &e) {
        return e.message();
    }
    return QStringLiteral("(bound)");
}

TEST(RasBinding, MissingMainLibraryRaisesItsWindowsName)
{
    RasBinding binding(missing(), standin("fallback"));
    EXPECT_EQ(messageOf(binding, "RasHangUpA"), "Error opening rasapi.dll");
    EXPECT_FALSE(binding.RasLoaded());
}

TEST(RasBinding, MainLibraryGivesTheNameItselfOrItsAVariant)
{
    RasBinding binding(standin("main"), standin("fallback"));
    // "RasHangUpAA" does not exist, so the name itself is taken.
    EXPECT_EQ(reinterpret_cast<HangUp>(binding.LoadRasFunction("RasHangUpA"))(0), 101u);
    EXPECT_TRUE(binding.RasLoaded());
    EXPECT_FALSE(binding.RasUseRnaph());
    // Once loaded: name + "A" first.
    EXPECT_EQ(reinterpret_cast<DeleteEntry>(binding.LoadRasFunction("RasDeleteEntry"))(nullptr, nullptr), 102u);
}

TEST(RasBinding, MissingFunctionOfTheLoadedLibraryIsNamed)
{
    RasBinding binding(standin("main"), standin("fallback"));
    binding.LoadRasFunction("RasHangUpA");
    EXPECT_EQ(messageOf(binding, "RasDialA"), "Function RasDialA not found!");
    // The library stays bound: the next function still comes from it.
    EXPECT_EQ(reinterpret_cast<HangUp>(binding.LoadRasFunction("RasHangUpA"))(0), 101u);
}

TEST(RasBinding, SecondLibraryTakesOverWhenTheMainOneLacksTheFunction)
{
    RasBinding binding(standin("empty"), standin("fallback"));
    EXPECT_EQ(reinterpret_cast<HangUp>(binding.LoadRasFunction("RasHangUpA"))(0), 201u);
    EXPECT_TRUE(binding.RasLoaded());
    EXPECT_TRUE(binding.RasUseRnaph());
    // From now on only the name itself, never name + "A".
    EXPECT_EQ(reinterpret_cast<EnumEntries>(binding.LoadRasFunction("RasEnumEntriesA"))(nullptr, nullptr, nullptr,
                                                                                          nullptr, nullptr),
              202u);
    EXPECT_EQ(reinterpret_cast<DeleteEntry>(binding.LoadRasFunction("RasDeleteEntry"))(nullptr, nullptr), 203u);
    EXPECT_EQ(messageOf(binding, "RasDialA"), "Function RasDialA not found!");
}

TEST(RasBinding, MissingSecondLibraryRaisesItsWindowsName)
{
    RasBinding binding(standin("empty"), missing());
    EXPECT_EQ(messageOf(binding, "RasHangUpA"), "Error opening rnaph.dll");
    EXPECT_FALSE(binding.RasLoaded());
}

TEST(RasBinding, FunctionMissingFromBothLibraries)
{
    const QString fallbackMark = testenv::root() + "/fallback-unloaded";
    qputenv("DIALUP_STANDIN_FALLBACK_UNLOADED", fallbackMark.toUtf8());
    RasBinding binding(standin("empty"), standin("fallback"));
    EXPECT_EQ(messageOf(binding, "RasDialA"), "Function RasDialA not found!");
    EXPECT_FALSE(binding.RasLoaded());
    // Not bound, the second library is freed at once rather than never.
    EXPECT_TRUE(QFile::exists(fallbackMark));
}

TEST(RasBinding, OnlyTheSecondLibraryIsFreedAtTheEnd)
{
    const QString mainMark = testenv::root() + "/main-unloaded";
    const QString fallbackMark = testenv::root() + "/fallback-unloaded";
    qputenv("DIALUP_STANDIN_MAIN_UNLOADED", mainMark.toUtf8());
    qputenv("DIALUP_STANDIN_FALLBACK_UNLOADED", fallbackMark.toUtf8());
    {
        RasBinding binding(standin("empty"), standin("fallback"));
        binding.LoadRasFunction("RasHangUpA");
    }
    EXPECT_TRUE(QFile::exists(fallbackMark));
    {
        RasBinding binding(standin("main"), standin("fallback"));
        binding.LoadRasFunction("RasHangUpA");
    }
    EXPECT_FALSE(QFile::exists(mainMark));
}

TEST(RasBinding, ProjectLibraryIsFoundBesideTheProgram)
{
    const QStringList candidates = platform::rasLibraryCandidates(platform::RasLibraryFile::Main);
    ASSERT_FALSE(candidates.isEmpty());
    EXPECT_EQ(candidates.first(), testenv::binDir() + "/libtellvara-rasapi.so");
    EXPECT_TRUE(QFile::exists(candidates.first()));
    EXPECT_NO_THROW(dialup::rasBinding().LoadRasFunction("RasGetErrorStringA"));
    EXPECT_FALSE(dialup::rasBinding().RasUseRnaph());
}

} // namespace
