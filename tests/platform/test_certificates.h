#pragma once
// Certificates made with OpenSSL for the certificate tests: self-signed, with exactly the
// serial octets, subject, alternative e-mails and end of validity a test asks for, and
// the store folders they are put in.
#include "test_env.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <openssl/asn1.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>

namespace certtest {

struct CertificateRecipe
{
    QByteArray serial{"\x05", 1};                  // DER content octets, most significant first
    QList<QPair<QString, QString>> subject{{"CN", "Test"}}; // short names ("CN", "OU", ...) and values, in order
    QString notAfter = QStringLiteral("20310307120000Z"); // ASN.1 time: YYMMDDHHMMSSZ or YYYYMMDDHHMMSSZ
    QStringList alternativeEmails;                // subject alternative name rfc822Name entries
};

namespace detail {

inline void check(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(std::string("OpenSSL: ") + what);
}

// One signing key for the whole test process; the tests care about certificates, not keys.
inline EVP_PKEY *signingKey()
{
    static const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    check(key != nullptr, "EC key");
    return key.get();
}

inline void setSerial(X509 *cert, const QByteArray &contentOctets)
{
    QByteArray der;
    der.append(char(V_ASN1_INTEGER)).append(char(contentOctets.size())).append(contentOctets);
    const auto *p = reinterpret_cast<const unsigned char *>(der.constData());
    ASN1_INTEGER *serial = d2i_ASN1_INTEGER(nullptr, &p, long(der.size()));
    check(serial != nullptr, "serial");
    X509_set_serialNumber(cert, serial);
    ASN1_INTEGER_free(serial);
}

inline void setTime(X509 *cert, const QString &notAfter)
{
    ASN1_TIME *before = ASN1_TIME_new();
    ASN1_TIME *after = ASN1_TIME_new();
    check(ASN1_TIME_set_string(before, "200101000000Z") == 1, "notBefore");
    check(ASN1_TIME_set_string(after, notAfter.toLatin1().constData()) == 1, "notAfter");
    X509_set1_notBefore(cert, before);
    X509_set1_notAfter(cert, after);
    ASN1_TIME_free(before);
    ASN1_TIME_free(after);
}

inline void setSubject(X509 *cert, const QList<QPair<QString, QString>> &subject)
{
    X509_NAME *name = X509_get_subject_name(cert);
    for (const auto &[field, value] : subject) {
        const QByteArray utf8 = value.toUtf8();
        check(X509_NAME_add_entry_by_txt(name, field.toLatin1().constData(), MBSTRING_UTF8,
                                         reinterpret_cast<const unsigned char *>(utf8.constData()), int(utf8.size()),
                                         -1, 0) == 1,
              "subject");
    }
    X509_set_issuer_name(cert, name);
}

inline void addAlternativeEmails(X509 *cert, const QStringList &emails)
{
    if (emails.isEmpty())
        return;
    const QByteArray value = ("email:" + emails.join(QStringLiteral(",email:"))).toUtf8();
    X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, nullptr, NID_subject_alt_name, value.constData());
    check(extension != nullptr, "subjectAltName");
    X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
}

inline std::unique_ptr<X509, decltype(&X509_free)> makeCertificate(const CertificateRecipe &recipe)
{
    std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), X509_free);
    check(cert && X509_set_version(cert.get(), 2) == 1, "certificate");
    setSerial(cert.get(), recipe.serial);
    setTime(cert.get(), recipe.notAfter);
    setSubject(cert.get(), recipe.subject);
    addAlternativeEmails(cert.get(), recipe.alternativeEmails);
    check(X509_set_pubkey(cert.get(), signingKey()) == 1, "public key");
    check(X509_sign(cert.get(), signingKey(), EVP_sha256()) > 0, "signature");
    return cert;
}

} // namespace detail

inline QByteArray der(const CertificateRecipe &recipe)
{
    const auto cert = detail::makeCertificate(recipe);
    unsigned char *out = nullptr;
    const int length = i2d_X509(cert.get(), &out);
    detail::check(length > 0, "DER");
    QByteArray bytes(reinterpret_cast<const char *>(out), length);
    OPENSSL_free(out);
    return bytes;
}

inline QByteArray pem(const CertificateRecipe &recipe)
{
    const QByteArray body = der(recipe).toBase64();
    QByteArray text = "-----BEGIN CERTIFICATE-----\n";
    for (qsizetype i = 0; i < body.size(); i += 64)
        text += body.mid(i, 64) + '\n';
    return text + "-----END CERTIFICATE-----\n";
}

// A recipe told apart from others by its one-byte serial and its common name.
inline CertificateRecipe named(char serial, const QString &commonName)
{
    CertificateRecipe recipe;
    recipe.serial = QByteArray(1, serial);
    recipe.subject = {{QStringLiteral("CN"), commonName}};
    return recipe;
}

inline QString storeFolder(const QString &storeName)
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/tellvara/certificates/") + storeName;
}

inline void putFile(const QString &storeName, const QString &fileName, const QByteArray &contents)
{
    testenv::writeFile(storeFolder(storeName) + u'/' + fileName, contents);
}

// Tests see only the stores they fill unless they name a trust bundle themselves.
inline void withoutTrustBundle()
{
    qputenv("TELLVARA_TRUST_BUNDLE", QByteArray());
}

} // namespace certtest
