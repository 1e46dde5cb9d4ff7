// The connection-state texts in the three languages, and the platform's text for an error
// whatever the language.
#include "dialup/tdialup.h"

#include <gtest/gtest.h>

namespace {

struct Row
{
    int state;
    const char16_t *english;
    const char16_t *czech;
    const char16_t *portuguese;
};

const Row Rows[] = {
    {0, u"Opening port", u"Otevírá se port", u"Abrindo a porta"},
    {1, u"Port opened", u"Port otev\u00f8en", u"Porta aberta"},
    {4, u"All devices connected", u"V\u0161echna za\u00f8\u00edzen\u00ed spojena", u"Todos componentes conectados"},
    {5, u"Start authenticating", u"Za\u00e8\u00ednaj\u00ed se ov\u00ec\u00f8ovat u\u017eivatelsk\u00e9 informace",
     u"Iniciando autentica\u00e7ao"},
    {6, u"Authentication: notify", u"Ov\u00ec\u00f8en\u00ed: ozn\u00e1men\u00ed", u"Autentica\u00e7ao: enviando"},
    {10, u"Authentication: projecting", u"Ov\u00ec\u00f8en\u00ed: n\u00e1vrh", u"Autentica\u00e7ao: enviando"},
    {12, u"Authentication: acknowledge", u"Ov\u00ec\u00f8en\u00ed: potvrzen\u00ed", u"Autentica\u00e7ao: enviando"},
    {14, u"Authenticated", u"Ov\u00ec\u00f8eno", u"Autenticado"},
    {16, u"Waiting for modem reset", u"\u00c8ek\u00e1 se na reset modemu", u"Esperando Reset do modem"},
    {21, u"Logging on network", u"P\u00f8ipojuje se na s\u00ed\u009d", u"Logando na rede"},
    {4096, u"Interactive", u"Interakce", u"Modo Interativo"},
    {4098, u"Callback set by caller", u"Zpe\u00ectn\u00e9 vol\u00e1n\u00ed zvoleno u\u017eivatelem",
     u"Callback foi conf. pelo destino"},
    {4099, u"Password expired", u"Platnost hesla vypr\u0161ela", u"Senha inv\u00e1lida"},
    {8192, u"Connected", u"Spojeno", u"Conectado"},
    {8193, u"Disconnected", u"Rozpojeno", u"Desconectado"},
    // States the table does not name.
    {22, u"", u"", u""},
    {-1, u"", u"", u""},
    {4100, u"", u"", u""},
    {8194, u"", u"", u""},
};

TEST(StatusTexts, EveryLanguageGivesItsRow)
{
    dialup::TDialUp dialUp;
    for (const Row &row : Rows) {
        EXPECT_EQ(dialUp.StatusString(row.state, 0), QString::fromUtf16(row.english)) << row.state;
        EXPECT_EQ(dialUp.StatusStringCZ(row.state, 0), QString::fromUtf16(row.czech)) << row.state;
        EXPECT_EQ(dialUp.StatusStringPO(row.state, 0), QString::fromUtf16(row.portuguese)) << row.state;
    }
}

TEST(StatusTexts, CzechTwentyOneEndsInTheControlCharacter)
{
    dialup::TDialUp dialUp;
    const QString text = dialUp.StatusStringCZ(21, 0);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(text.back().unicode(), 0x009D);
}

TEST(StatusTexts, AnErrorGivesThePlatformTextInEveryLanguage)
{
    dialup::TDialUp dialUp;
    const QString busy = QStringLiteral("The phone line is busy.");
    EXPECT_EQ(dialUp.StatusString(3, 676), busy);
    EXPECT_EQ(dialUp.StatusStringCZ(3, 676), busy);
    EXPECT_EQ(dialUp.StatusStringPO(8192, 676), busy);
    EXPECT_EQ(dialUp.StatusStringCZ(0, 691),
              QStringLiteral("The user name or password was not accepted by the remote computer."));
}

} // namespace
