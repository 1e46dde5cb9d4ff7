// The catalogue's display lines, the order of the stores, the all-or-nothing gathering
// and the way from a saved serial back to its line and from a line to its serial.
#include "editor/certificate_catalogue.h"

#include "../platform/test_certificates.h"
#include "platform/error.h"
#include "platform/testing/recording_presenter.h"

#include <gtest/gtest.h>

using namespace certtest;

namespace {

const QLocale Swedish(QStringLiteral("sv_SE"));
const QLocale American(QStringLiteral("en_US"));

// Noon UTC keeps the local date equal to the UTC date in every time zone the tests meet.
QDateTime utcNoon(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(12, 0), Qt::UTC);
}

class CertificateCatalogue : public ::testing::Test
{
protected:
    void SetUp() override { withoutTrustBundle(); }
};

// A store that hands out its certificates and then fails, as a store can when the
// system runs out of resources half-way.
class FailingStore : public platform::CertificateStore
{
public:
    std::optional<platform::CertificateInfo> next() override
    {
        if (m_handedOut++ == 0)
            return platform::CertificateInfo{QByteArray("\x01", 1), utcNoon(2030, 1, 1), QStringLiteral("first")};
        throw platform::Error(QStringLiteral("store read failed"));
    }

private:
    int m_handedOut = 0;
};

std::unique_ptr<platform::CertificateStore> failingCa(const QString &storeName)
{
    if (storeName == QLatin1String("CA"))
        return std::make_unique<FailingStore>();
    return platform::openCertificateStore(storeName);
}

} // namespace

TEST(CertificateLine, SerialIsUpperCaseHexMostSignificantFirst)
{
    const QList<QPair<QByteArray, QString>> rows{
        {QByteArray("\x05", 1), "05"},
        {QByteArray("\x81\x00", 2), "0081"},           // kept least significant first
        {QByteArray("\x2C\x1B\x0A", 3), "0A1B2C"},
        {QByteArray("\x00\x00\xab", 3), "AB0000"},     // zero bytes stay, wherever they are
        {QByteArray(), ""},
    };
    for (const auto &[bytes, expected] : rows)
        EXPECT_EQ(editor::serialText(bytes), expected) << bytes.toHex().constData();
}

TEST(CertificateLine, ExpiryIsTheLocalesShortDate)
{
    EXPECT_EQ(editor::expiryDateText(utcNoon(2031, 3, 7), Swedish), "2031-03-07");
    EXPECT_EQ(editor::expiryDateText(utcNoon(2031, 3, 7), American), "3/7/31");
}

TEST(CertificateLine, AnExpiryWithoutLocalDateShowsDayZero)
{
    EXPECT_EQ(editor::expiryDateText(QDateTime(), Swedish), "1899-12-30");
    EXPECT_EQ(editor::expiryDateText(QDateTime(), American), "12/30/99");
}

TEST(CertificateLine, PiecesInOrderWithTheirSeparators)
{
    const platform::CertificateInfo named{QByteArray("\x81\x00", 2), utcNoon(2031, 3, 7), "Kalle Åberg - AB"};
    EXPECT_EQ(editor::certificateLine("MY", named, Swedish), "MY 0081 - 2031-03-07, Kalle Åberg - AB");
    const platform::CertificateInfo nameless{QByteArray("\x05", 1), utcNoon(2031, 3, 7), ""};
    EXPECT_EQ(editor::certificateLine("SPC", nameless, American), "SPC 05 - 3/7/31, ");
}

TEST(CertificateLine, AStoreThatCouldNotBeOpenedAddsNothing)
{
    QStringList lines{"kept"};
    editor::AddStoreCertificates("MY", nullptr, lines, Swedish);
    EXPECT_EQ(lines, QStringList{"kept"});
}

TEST_F(CertificateCatalogue, StoresInTheirOrderEachInItsOwnOrder)
{
    putFile("SPC", "a.pem", pem(named(4, "spc")));
    putFile("ROOT", "a.pem", pem(named(3, "root")));
    putFile("CA", "b.pem", pem(named(2, "ca second")));
    putFile("CA", "a.der", der(named(1, "ca first")));
    putFile("MY", "a.pem", pem(named(0x0A, "my 1")) + pem(named(0x0B, "my 2")));
    const QStringList lines = editor::GatherCertificateLines();
    ASSERT_EQ(lines.size(), 6);
    const QStringList expectedStarts{"MY 0A - ", "MY 0B - ", "CA 01 - ", "CA 02 - ", "ROOT 03 - ", "SPC 04 - "};
    const QStringList expectedEnds{", my 1", ", my 2", ", ca first", ", ca second", ", root", ", spc"};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines.at(i).startsWith(expectedStarts.at(i))) << qPrintable(lines.at(i));
        EXPECT_TRUE(lines.at(i).endsWith(expectedEnds.at(i))) << qPrintable(lines.at(i));
    }
}

TEST_F(CertificateCatalogue, NoStoresGiveNoLinesAndNoMessage)
{
    platform::testing::RecordingPresenter presenter;
    const std::optional<QStringList> lines = editor::LoadCertificateLines();
    ASSERT_TRUE(lines.has_value());
    EXPECT_TRUE(lines->isEmpty());
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(CertificateCatalogue, AFailureHalfWayGivesNoLinesAndOneMessage)
{
    putFile("MY", "a.pem", pem(named(1, "mine")));
    EXPECT_THROW(editor::GatherCertificateLines(failingCa), platform::Error);

    platform::testing::RecordingPresenter presenter;
    EXPECT_FALSE(editor::LoadCertificateLines(failingCa).has_value());
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().first().text, "Det gick inte att hämta certifikat!\r\rstore read failed");
}

TEST(SavedSerial, OnlyALineWithThatSerialIsSelected)
{
    const QStringList lines{
        "MY 0A1B2C - 2031-05-07, Alpha",
        "CA 1B - 2031-03-07, Beta",
        "ROOT 05 - 2031-03-07, Gamma 1B",
        "SPC 2031 - 2031-03-07, Delta",
        "MY 05 - 2032-01-01, Epsilon",
    };
    struct Row
    {
        QString text;
        int expected;
    };
    const QList<Row> rows{
        {"1B", 1},          // also inside a longer serial of an earlier line
        {"0A1B2C", 0},
        {"05", 2},          // also inside the date of the first line; the first of two equal serials
        {"2031", 3},        // also inside every date above it
        {"Gamma", -1},      // a name is no serial
        {"Beta", -1},
        {"0A1B", -1},       // part of a serial
        {"0a1b2c", -1},     // exact letter case
        {"CA 1B - 2031-03-07, Beta", 1}, // a whole line finds its own serial
        {"FF", -1},         // a certificate no longer present: nothing selected
        {"", -1},           // an empty text selects nothing
    };
    for (const Row &row : rows)
        EXPECT_EQ(editor::findCertificateLine(lines, row.text), row.expected) << qPrintable(row.text);
    EXPECT_EQ(editor::findCertificateLine({}, "05"), -1);
}

TEST(SavedSerial, TheSerialIsTakenBackOutOfALine)
{
    const QList<QPair<QString, QString>> rows{
        {"MY 0081 - 2031-03-07, Kalle Åberg", "0081"},
        {"ROOT 05 - 3/7/31, Name - with dash", "05"},
        {"SPC 05 - 2031-03-07, ", "05"},
        {"0A1B2C", "0A1B2C"},                    // a bare saved serial is kept unchanged
        {"\t0A1B2C\t", "\t0A1B2C\t"},             // no blank: not trimmed either
        {"MY   0A1B  \t - x", "0A1B"},            // trimmed after each step
        {"MY 0A1B\x01", "0A1B"},                   // control characters go with the blanks
        {"MY 0A1B - ", "0A1B -"},                 // the first trim takes the blank " - " needs
        {"MY  - x", "- x"},
        {"", ""},
        {"MY ", ""},
    };
    for (const auto &[text, serial] : rows)
        EXPECT_EQ(editor::SerialFromCertificateText(text), serial) << qPrintable(text);
}

TEST_F(CertificateCatalogue, EveryGatheredLineGivesBackItsSerialAndIsFoundByIt)
{
    CertificateRecipe wide;
    wide.serial = QByteArray::fromHex("00C3A1B2C3D4E5F60718293A4B5C6D7E8F901A2B");
    wide.subject = {};
    putFile("MY", "a.pem", pem(named(0x0A, "short")) + pem(wide));
    const QStringList lines = editor::GatherCertificateLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(editor::SerialFromCertificateText(lines.at(0)), "0A");
    EXPECT_EQ(editor::SerialFromCertificateText(lines.at(1)), "00C3A1B2C3D4E5F60718293A4B5C6D7E8F901A2B");
    EXPECT_TRUE(lines.at(1).endsWith(", ")) << "an empty subject gives an empty name";
    for (const QString &line : lines)
        EXPECT_EQ(lines.at(editor::findCertificateLine(lines, editor::SerialFromCertificateText(line))), line);
}
