// The certificate stores as folders of certificate files below the user's data folder,
// read one file at a time while the caller walks the store.
#include "platform/certificate_store.h"

#include "certificate_openssl_p.h"
#include "platform/filesystem.h"
#include "platform/special_folders.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <deque>

namespace platform {
namespace {

const QString RootStore = QStringLiteral("ROOT");
const QString DefaultTrustBundle = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");

// Far above any real certificate file (the system bundle is a few hundred KiB); a larger
// file is not a certificate file and is not read into memory.
constexpr qint64 MaxCertificateFileSize = 16 * 1024 * 1024;

QString storeFolder(const QString &storeName)
{
    const QString data = specialFolder(SpecialFolder::AppData);
    return data.isEmpty() ? QString() : data + QStringLiteral("tellvara/certificates/") + storeName + u'/';
}

// Set but empty turns the bundle off.
QString trustBundle()
{
    return qEnvironmentVariableIsSet("TELLVARA_TRUST_BUNDLE") ? qEnvironmentVariable("TELLVARA_TRUST_BUNDLE")
                                                               : DefaultTrustBundle;
}

QStringList folderFiles(const QString &folder)
{
    QStringList files;
    if (folder.isEmpty() || !directoryExists(folder))
        return files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        files << folder + name;
    return files;
}

std::optional<QStringList> storeFiles(const QString &storeName)
{
    const QString folder = storeFolder(storeName);
    bool found = !folder.isEmpty() && directoryExists(folder);
    QStringList files = folderFiles(folder);
    if (storeName == RootStore) {
        const QString bundle = trustBundle();
        if (!bundle.isEmpty() && fileExists(bundle)) {
            files << bundle;
            found = true;
        }
    }
    return found ? std::optional(files) : std::nullopt;
}

// Nothing for a file that cannot be read or is too large to be a certificate file.
QByteArray fileContents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray contents = file.read(MaxCertificateFileSize + 1);
    return contents.size() > MaxCertificateFileSize || file.error() != QFileDevice::NoError ? QByteArray() : contents;
}

class FileCertificateStore final : public CertificateStore
{
public:
    explicit FileCertificateStore(QStringList files)
        : m_files(std::move(files))
    {
    }

    std::optional<CertificateInfo> next() override
    {
        while (m_pending.empty() && m_nextFile < m_files.size()) {
            std::vector<CertificateInfo> read = detail::certificatesInFile(fileContents(m_files.at(m_nextFile++)));
            m_pending.assign(std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
        }
        if (m_pending.empty())
            return std::nullopt;
        CertificateInfo info = std::move(m_pending.front());
        m_pending.pop_front();
        return info;
    }

private:
    QStringList m_files;
    qsizetype m_nextFile = 0;
    std::deque<CertificateInfo> m_pending; // the rest of the current file
};

} // namespace

std::unique_ptr<CertificateStore> openCertificateStore(const QString &storeName)
{
    std::optional<QStringList> files = storeFiles(storeName);
    if (!files)
        return nullptr;
    return std::make_unique<FileCertificateStore>(std::move(*files));
}

} // namespace platform
