// Feeds arbitrary bytes to the certificate-file reader as the contents of a file in a
// certificate folder: PEM text with any number of blocks, or DER. A crash or a sanitizer
// report is a finding; what does not parse must simply give nothing.
#include "platform/linux/certificate_openssl_p.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray contents = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const platform::CertificateInfo &info : platform::detail::certificatesInFile(contents))
        (void)info;
    return 0;
}
