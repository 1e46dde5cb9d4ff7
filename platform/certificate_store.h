#pragma once
// The current user's certificate stores "MY", "CA", "ROOT" and "SPC": one folder per
// store under ${XDG_DATA_HOME:-$HOME/.local/share}/tellvara/certificates/, holding PEM or
// DER files (a PEM file may hold several certificates); "ROOT" also lists the system
// trust bundle. Enumeration order: file names sorted, then the order inside a file. A
// file or PEM block that does not parse contributes nothing.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

namespace platform {

struct CertificateInfo
{
    QByteArray serial;         // DER content octets of the serial, least significant first
    QDateTime notAfterUtc;     // end of validity
    QString simpleDisplayName; // "" when the subject gives none
};

class CertificateStore
{
public:
    virtual ~CertificateStore() = default;
    // The next certificate in enumeration order, or nothing at the end.
    virtual std::optional<CertificateInfo> next() = 0;
};

// Opens one store; nullptr when it cannot be opened (no folder and no bundle).
std::unique_ptr<CertificateStore> openCertificateStore(const QString &storeName);

} // namespace platform
