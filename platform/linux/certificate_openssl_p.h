#pragma once
// Reading certificate files with OpenSSL: the three facts the catalogue shows of each.
#include "platform/certificate_store.h"

#include <QByteArray>

#include <vector>

namespace platform::detail {

// The certificates of one file's contents in file order: every PEM block that holds a
// certificate when the text has PEM blocks, else the one DER certificate it starts with.
// Blocks and files that do not parse give nothing.
std::vector<CertificateInfo> certificatesInFile(const QByteArray &contents);

} // namespace platform::detail
