// The catalogue's lines are built from the platform's three facts per certificate, so
// the editor and "vardoctl cert list" show exactly the same text.
#include "editor/certificate_catalogue.h"

#include "platform/error.h"
#include "suite/dialogs.h"
#include "suite/translate.h"

#include <QDate>

#include <algorithm>
#include <exception>
#include <optional>

namespace editor {
namespace {

const QString SerialSeparator = QStringLiteral(" - ");

// Stands in for an expiry without a local date: day 0 of the date system whose dates
// these lines have always shown.
const QDate DayZero(1899, 12, 30);

} // namespace

const QStringList &CertificateStoreNames()
{
    static const QStringList names{QStringLiteral("MY"), QStringLiteral("CA"), QStringLiteral("ROOT"),
                                   QStringLiteral("SPC")};
    return names;
}

QString serialText(const QByteArray &serialLeastSignificantFirst)
{
    QByteArray mostSignificantFirst(serialLeastSignificantFirst);
    std::reverse(mostSignificantFirst.begin(), mostSignificantFirst.end());
    return QString::fromLatin1(mostSignificantFirst.toHex().toUpper());
}

QString expiryDateText(const QDateTime &notAfterUtc, const QLocale &locale)
{
    const QDateTime local = notAfterUtc.toLocalTime();
    return locale.toString(local.isValid() ? local.date() : DayZero, QLocale::ShortFormat);
}

QString certificateLine(const QString &storeName, const platform::CertificateInfo &certificate,
                        const QLocale &locale)
{
    return storeName + u' ' + serialText(certificate.serial) + SerialSeparator
        + expiryDateText(certificate.notAfterUtc, locale) + QStringLiteral(", ") + certificate.simpleDisplayName;
}

void AddStoreCertificates(const QString &storeName, platform::CertificateStore *store, QStringList &lines,
                          const QLocale &locale)
{
    if (!store)
        return;
    while (const std::optional<platform::CertificateInfo> certificate = store->next())
        lines << certificateLine(storeName, *certificate, locale);
}

QStringList GatherCertificateLines(const CertificateStoreOpener &openStore)
{
    QStringList lines;
    for (const QString &storeName : CertificateStoreNames()) {
        const std::unique_ptr<platform::CertificateStore> store = openStore(storeName);
        AddStoreCertificates(storeName, store.get(), lines);
    }
    return lines;
}

std::optional<QStringList> LoadCertificateLines(const CertificateStoreOpener &openStore)
{
    try {
        return GatherCertificateLines(openStore);
    } catch (const std::exception &e) {
        suite::ShowError(suite::TranslateText(QStringLiteral("Det gick inte att hämta certifikat!"))
                         + QStringLiteral("\r\r") + platform::messageOf(e));
        return std::nullopt;
    }
}

// Compared by the serial field alone: a saved serial found inside a longer serial, a date
// or a name of an earlier line would select, and "Spara" then store, another certificate.
int findCertificateLine(const QStringList &lines, const QString &text)
{
    const QString serial = SerialFromCertificateText(text);
    if (serial.isEmpty())
        return -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (SerialFromCertificateText(lines.at(i)) == serial)
            return int(i);
    }
    return -1;
}

QString trimBlanksAndControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString SerialFromCertificateText(const QString &text)
{
    QString serial = text;
    const qsizetype blank = serial.indexOf(u' ');
    if (blank >= 0)
        serial = trimBlanksAndControls(serial.mid(blank + 1));
    const qsizetype separator = serial.indexOf(SerialSeparator);
    if (separator >= 0)
        serial = trimBlanksAndControls(serial.left(separator));
    return serial;
}

} // namespace editor
