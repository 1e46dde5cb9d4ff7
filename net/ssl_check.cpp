#include "net/ssl_check.h"

#include "net/hook_calls.h"
#include "suite/dialogs.h"
#include "suite/registry.h"

#include <QFileInfo>

namespace net {
namespace {

const QString SettingsSection = QStringLiteral("Errors");
const QString SuppressedName = QStringLiteral("CannotConnectToSSL");
const QString Suppressed = QStringLiteral("1");

bool libraryFound(const QString &fileName, const QString &systemDir, const QString &currentDir)
{
    return QFileInfo::exists(systemDir + fileName) || QFileInfo::exists(currentDir + fileName);
}

bool questionSuppressed()
{
    return suite::ReadSuiteSetting(SettingsSection, SuppressedName) == Suppressed;
}

void askAboutMissing(const QString &fileName, const QString &systemDir, const QString &currentDir)
{
    if (AskHookQuestion(MissingSslLibraryQuestion(fileName, systemDir, currentDir)) != suite::ResultYes)
        suite::WriteSuiteSetting(SettingsSection, SuppressedName, Suppressed);
}

} // namespace

QStringList SslLibraryFiles()
{
    return {QStringLiteral("libssl.so.3"), QStringLiteral("libcrypto.so.3")};
}

QString MissingSslLibraryQuestion(const QString &fileName, const QString &systemDir,
                                  const QString &currentDir)
{
    const QString paragraph = QStringLiteral("\r\r");
    return Translate(QStringLiteral("Det gick inte att hitta filen %1 i katalogen ").arg(fileName))
           + systemDir + QStringLiteral("!") + paragraph
           + Translate(QStringLiteral("Det gick inte heller att hitta filen %1 i katalogen ").arg(fileName))
           + currentDir + QStringLiteral("!") + paragraph
           + Translate(QStringLiteral("Detta betyder att programmet på denna dator inte kommer att kunna "
                                      "ansluta till Internet, för att ladda ner den senaste versionen av "
                                      "programmet!"))
           + paragraph + Translate(QStringLiteral("Visa detta meddelande igen?"));
}

void CheckSslLibraries(const QString &systemDir, const QString &currentDir)
{
    for (const QString &fileName : SslLibraryFiles()) {
        if (libraryFound(fileName, systemDir, currentDir) || questionSuppressed())
            continue;
        askAboutMissing(fileName, systemDir, currentDir);
    }
}

} // namespace net
