#include "dialup/status_texts.h"

namespace dialup {
namespace {

struct StateRow
{
    unsigned state;
    const char16_t *english;
    const char16_t *czech;
    const char16_t *portuguese;
};

// The Czech texts are kept exactly as the component has always shown them, letters such
// as "ø" and "è" included.
constexpr StateRow StateTexts[] = {
    {0, u"Opening port", u"Otevírá se port", u"Abrindo a porta"},
    {1, u"Port opened", u"Port otevøen", u"Porta aberta"},
    {2, u"Connecting device", u"Probíhá spojování", u"Conectando componente"},
    {3, u"Device connected", u"Navázáno spojení", u"Componente conenctado"},
    {4, u"All devices connected", u"Všechna zaøízení spojena", u"Todos componentes conectados"},
    {5, u"Start authenticating", u"Zaèínají se ovìøovat uživatelské informace", u"Iniciando autenticaçao"},
    {6, u"Authentication: notify", u"Ovìøení: oznámení", u"Autenticaçao: enviando"},
    {7, u"Authentication: retry", u"Ovìøení: opakování", u"Autenticaçao: Reenviando"},
    {8, u"Authentication: callback", u"Ovìøení: zpìtné volání", u"Autenticaçao: Esperando"},
    {9, u"Authentication: change password", u"Ovìøení: zmìna hesla", u"Autenticaçao: Senha incorreta"},
    {10, u"Authentication: projecting", u"Ovìøení: návrh", u"Autenticaçao: enviando"},
    {11, u"Authentication: link speed", u"Ovìøení: spojovací rychlost", u"Autenticaçao: Velocidade da linha"},
    {12, u"Authentication: acknowledge", u"Ovìøení: potvrzení", u"Autenticaçao: enviando"},
    {13, u"Authentication: reauthenticate", u"Ovìøení: znovuovìøení", u"Autenticaçao: Re-Autenticando"},
    {14, u"Authenticated", u"Ovìøeno", u"Autenticado"},
    {15, u"Preparing for callback", u"Pøíprava na zpetné volání", u"Preparando para callback"},
    {16, u"Waiting for modem reset", u"Èeká se na reset modemu", u"Esperando Reset do modem"},
    {17, u"Waiting for callback", u"Èeká se na zpìtné volání", u"Esperando callback"},
    {18, u"Projected", u"Navrhnuto", u"Enviando"},
    {19, u"Start authentication", u"Ovìøování uživatelských informací", u"Autenticaçao iniciada"},
    {20, u"Callback complete", u"Zpetné volání hotovo", u"Callback completo"},
    {21, u"Logging on network", u"Pøipojuje se na sí\u009d", u"Logando na rede"},
    {4096, u"Interactive", u"Interakce", u"Modo Interativo"},
    {4097, u"Retry Authentication", u"Opakování oveøení", u"Re-autenticar"},
    {4098, u"Callback set by caller", u"Zpeìtné volání zvoleno uživatelem", u"Callback foi conf. pelo destino"},
    {4099, u"Password expired", u"Platnost hesla vypršela", u"Senha inválida"},
    {8192, u"Connected", u"Spojeno", u"Conectado"},
    {8193, u"Disconnected", u"Rozpojeno", u"Desconectado"},
};

} // namespace

QString StateText(TLanguage language, unsigned state)
{
    for (const StateRow &row : StateTexts) {
        if (row.state != state)
            continue;
        switch (language) {
        case Czech:
            return QString::fromUtf16(row.czech);
        case Portuguese:
            return QString::fromUtf16(row.portuguese);
        case English:
            break;
        }
        return QString::fromUtf16(row.english);
    }
    return {};
}

} // namespace dialup
