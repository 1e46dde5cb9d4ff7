#pragma once
// The current user's certificate stores "MY", "CA", "ROOT" and "SPC".
//
// Rules: one folder per store under ${XDG_DATA_HOME:-$HOME/.local/share}/tellvara/
// certificates/, holding PEM or DER files (a PEM file may hold several certificates).
// "ROOT" also lists the system trust bundle after its folder: TELLVARA_TRUST_BUNDLE names
// it (set but empty: no bundle), else /etc/ssl/certs/ca-certificates.crt. Enumeration
// order: file names sorted (exact code-point order), then the order inside a file. A
// file that cannot be read, a damaged file and a PEM block that is not a certificate
// contribute nothing, so one bad file never hides the others. A store whose folder and
// bundle are both missing cannot be opened.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

namespace platform {

struct CertificateInfo
{
    QByteArray serial;         // DER content octets of the serial (sign octet kept), least significant first
    QDateTime notAfterUtc;     // end of validity; invalid when the certificate's time has no calendar date
    QString simpleDisplayName; // "" when the subject gives none
};

class CertificateStore
{
public:
    virtual ~CertificateStore() = default;
    // The next certificate in enumeration order, or nothing at the end. Throws
    // platform::Error only when the system itself fails (no memory for the parser).
    virtual std::optional<CertificateInfo> next() = 0;
};

// Opens one store; nullptr when it cannot be opened.
std::unique_ptr<CertificateStore> openCertificateStore(const QString &storeName);

} // namespace platform
