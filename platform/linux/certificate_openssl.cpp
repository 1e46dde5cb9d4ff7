// Certificates parsed with OpenSSL. Every OpenSSL object lives in a unique_ptr so a
// block that fails half-way leaks nothing, and the error queue is emptied afterwards so
// a damaged file leaves no stale error for the next OpenSSL user on this thread.
#include "certificate_openssl_p.h"

#include "platform/error.h"

#include <QDate>
#include <QTime>

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <memory>
#include <optional>

namespace platform::detail {
namespace {

struct OpenSslFree
{
    void operator()(X509 *p) const { X509_free(p); }
    void operator()(BIO *p) const { BIO_free(p); }
    void operator()(GENERAL_NAMES *p) const { GENERAL_NAMES_free(p); }
    void operator()(unsigned char *p) const { OPENSSL_free(p); }
    void operator()(char *p) const { OPENSSL_free(p); }
};
template<typename T>
using OpenSslPtr = std::unique_ptr<T, OpenSslFree>;

// The DER content octets exactly as the certificate carries them (a 00 sign octet in
// front of a serial whose top bit is set), which OpenSSL's own integer bytes leave out.
QByteArray serialOctets(const X509 *certificate)
{
    const ASN1_INTEGER *serial = X509_get0_serialNumber(certificate);
    const int encodedLength = i2d_ASN1_INTEGER(serial, nullptr);
    if (encodedLength <= 0)
        return {};
    QByteArray encoded(encodedLength, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(encoded.data());
    i2d_ASN1_INTEGER(serial, &out);
    const auto *content = reinterpret_cast<const unsigned char *>(encoded.constData());
    long contentLength = 0;
    int tag = 0;
    int tagClass = 0;
    if (ASN1_get_object(&content, &contentLength, &tag, &tagClass, encodedLength) & 0x80)
        return {};
    QByteArray octets(reinterpret_cast<const char *>(content), contentLength);
    std::reverse(octets.begin(), octets.end()); // kept least significant first, as the platform does
    return octets;
}

QDateTime notAfterUtc(const X509 *certificate)
{
    std::tm time{};
    if (ASN1_TIME_to_tm(X509_get0_notAfter(certificate), &time) != 1)
        return {};
    // Year 0 has no QDate, so such a certificate gets an invalid time (shown as day 0).
    const QDate date(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday);
    return QDateTime(date, QTime(time.tm_hour, time.tm_min, time.tm_sec), Qt::UTC);
}

std::optional<QString> stringText(const ASN1_STRING *value)
{
    unsigned char *utf8 = nullptr;
    const int length = ASN1_STRING_to_UTF8(&utf8, value);
    if (length < 0)
        return std::nullopt;
    const OpenSslPtr<unsigned char> owned(utf8);
    return QString::fromUtf8(reinterpret_cast<const char *>(utf8), length);
}

std::optional<QString> subjectEntryText(const X509_NAME *subject, int index)
{
    const X509_NAME_ENTRY *entry = X509_NAME_get_entry(subject, index);
    return entry ? stringText(X509_NAME_ENTRY_get_data(entry)) : std::nullopt;
}

std::optional<QString> firstSubjectAttribute(const X509_NAME *subject, int nid)
{
    const int index = X509_NAME_get_index_by_NID(subject, nid, -1);
    return index < 0 ? std::nullopt : subjectEntryText(subject, index);
}

std::optional<QString> firstAlternativeEmail(const X509 *certificate)
{
    const OpenSslPtr<GENERAL_NAMES> names(
        static_cast<GENERAL_NAMES *>(X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr)));
    for (int i = 0; names && i < sk_GENERAL_NAME_num(names.get()); ++i) {
        const GENERAL_NAME *name = sk_GENERAL_NAME_value(names.get(), i);
        if (name->type == GEN_EMAIL)
            return stringText(name->d.rfc822Name);
    }
    return std::nullopt;
}

// The platform's simple display name: the first of common name, organisational unit,
// organisation and e-mail address in the subject; else the first e-mail of the subject
// alternative name; else the subject's first attribute; else nothing.
QString simpleDisplayName(const X509 *certificate)
{
    const X509_NAME *subject = X509_get_subject_name(certificate);
    static constexpr std::array preferred{NID_commonName, NID_organizationalUnitName, NID_organizationName,
                                          NID_pkcs9_emailAddress};
    for (const int nid : preferred) {
        if (const std::optional<QString> text = firstSubjectAttribute(subject, nid))
            return *text;
    }
    if (const std::optional<QString> email = firstAlternativeEmail(certificate))
        return *email;
    return subjectEntryText(subject, 0).value_or(QString());
}

CertificateInfo infoOf(const X509 *certificate)
{
    return {serialOctets(certificate), notAfterUtc(certificate), simpleDisplayName(certificate)};
}

std::optional<CertificateInfo> certificateInDer(const unsigned char *der, long length, bool trusted)
{
    const OpenSslPtr<X509> certificate(trusted ? d2i_X509_AUX(nullptr, &der, length) : d2i_X509(nullptr, &der, length));
    return certificate ? std::optional(infoOf(certificate.get())) : std::nullopt;
}

std::optional<CertificateInfo> certificateInPemBlock(const char *name, const unsigned char *der, long length)
{
    const QByteArray label(name);
    if (label == PEM_STRING_X509 || label == PEM_STRING_X509_OLD)
        return certificateInDer(der, length, false);
    if (label == PEM_STRING_X509_TRUSTED)
        return certificateInDer(der, length, true);
    return std::nullopt; // a key, a request or anything else that may share the file
}

std::vector<CertificateInfo> certificatesInPem(const QByteArray &contents)
{
    const OpenSslPtr<BIO> bio(BIO_new_mem_buf(contents.constData(), int(contents.size())));
    if (!bio)
        throw Error(QStringLiteral("OpenSSL cannot allocate a buffer for a certificate file."));
    std::vector<CertificateInfo> found;
    // Each read consumes at least one line unless it fails at the end, so the loop stops
    // once the buffer is empty or a read makes no progress.
    for (size_t left = BIO_ctrl_pending(bio.get()); left > 0;) {
        char *name = nullptr;
        char *header = nullptr;
        unsigned char *der = nullptr;
        long length = 0;
        if (PEM_read_bio(bio.get(), &name, &header, &der, &length) == 1) {
            const OpenSslPtr<char> ownedName(name), ownedHeader(header);
            const OpenSslPtr<unsigned char> ownedDer(der);
            if (std::optional<CertificateInfo> info = certificateInPemBlock(name, der, length))
                found.push_back(std::move(*info));
        }
        const size_t now = BIO_ctrl_pending(bio.get());
        left = now < left ? now : 0;
    }
    return found;
}

bool looksLikePem(const QByteArray &contents)
{
    return contents.contains("-----BEGIN ");
}

} // namespace

std::vector<CertificateInfo> certificatesInFile(const QByteArray &contents)
{
    std::vector<CertificateInfo> found;
    if (looksLikePem(contents)) {
        found = certificatesInPem(contents);
    } else {
        const auto *der = reinterpret_cast<const unsigned char *>(contents.constData());
        if (std::optional<CertificateInfo> info = certificateInDer(der, long(contents.size()), false))
            found.push_back(std::move(*info));
    }
    ERR_clear_error();
    return found;
}

} // namespace platform::detail
