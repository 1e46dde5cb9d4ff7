#pragma once
// The certificate catalogue of the organisation editor: one display line per certificate
// of the user's stores, "STORE SERIAL - DATE, NAME", and the way back from a line (or a
// saved serial) to the serial the organisation stores.
//
// Rules: the stores are listed in the order "MY", "CA", "ROOT", "SPC", each in its own
// enumeration order. The serial is upper-case hexadecimal, most significant byte first,
// leading zero bytes kept. The date is the end of validity as a local date in the short
// date format of the process's LC_TIME (LC_ALL, then LC_TIME, then LANG); when it has no
// local date, day 0 (30 December 1899) stands in. The lines are gathered completely
// before anyone shows them, so a failure shows none of them.
#include "platform/certificate_store.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace editor {

// The stores in the order their lines are listed.
const QStringList &CertificateStoreNames();

// The serial as shown, from its bytes kept least significant first: 2C 1B 0A -> "0A1B2C".
QString serialText(const QByteArray &serialLeastSignificantFirst);

QString expiryDateText(const QDateTime &notAfterUtc, const QLocale &locale);

QString certificateLine(const QString &storeName, const platform::CertificateInfo &certificate,
                        const QLocale &locale);

// Appends one line per certificate of an opened store; does nothing for a store that
// could not be opened (nullptr).
void AddStoreCertificates(const QString &storeName, platform::CertificateStore *store, QStringList &lines,
                          const QLocale &locale = QLocale::system());

using CertificateStoreOpener = std::function<std::unique_ptr<platform::CertificateStore>(const QString &storeName)>;

// Every line of every store, in list order. Throws platform::Error when gathering fails;
// a store that cannot be opened contributes nothing and is no failure.
QStringList GatherCertificateLines(const CertificateStoreOpener &openStore = platform::openCertificateStore);

// The editor's loading of the catalogue without its combo box: the gathered lines, or
// nothing after a failure was shown with ShowError ("Det gick inte att hämta certifikat!",
// "\r\r", the reason); the caller then keeps what it showed before.
std::optional<QStringList> LoadCertificateLines(const CertificateStoreOpener &openStore = platform::openCertificateStore);

// The index of the first line whose serial equals the serial of the text (a bare saved
// serial or a whole line; exact letter case), or -1; an empty text selects nothing. This
// is how the editor finds the line of a saved serial.
int findCertificateLine(const QStringList &lines, const QString &text);

// Blanks and control characters (everything up to U+0020) removed at both ends.
QString trimBlanksAndControls(const QString &text);

// The serial stored for a certificate text: the part after the first blank, trimmed,
// then the part before the first " - ", trimmed; a text without a blank stays as it is.
QString SerialFromCertificateText(const QString &text);

} // namespace editor
