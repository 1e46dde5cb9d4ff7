// Writes the fuzzer's seed corpus into the folder given: archives the component itself
// makes (empty, stored, compressed at every level, folders, many entries, a renamed
// record), so the fuzzer starts from valid files and mutates inward.
#include "archive/zlbarchive.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QByteArray sampleText(int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += "line " + QByteArray::number(i * 7919 % 1000) + " of a sample\n";
    return bytes;
}

QByteArray sampleNoise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 seed = 12345;
    for (char &c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 23);
    }
    return bytes;
}

void add(archive::TZLBArchive &zlb, const QString &name, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    zlb.AddStream(name, buffer);
}

void make(const QString &path, archive::TFileCompressionLevel level, const std::function<void(archive::TZLBArchive &)> &fill)
{
    QFile::remove(path);
    archive::TZLBArchive zlb;
    zlb.SetCompressionLevel(level);
    zlb.SetSavePaths(true);
    zlb.CreateArchive(path);
    fill(zlb);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: archive_fuzz_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    make(folder + "/empty.zlb", archive::fcDefault, [](archive::TZLBArchive &zlb) {
        QStringList none;
        zlb.AddFiles(none);
    });
    const archive::TFileCompressionLevel levels[] = {archive::fcNone, archive::fcFastest, archive::fcDefault,
                                                     archive::fcMaximum};
    for (const archive::TFileCompressionLevel level : levels) {
        make(folder + QStringLiteral("/mixed-%1.zlb").arg(int(level)), level, [](archive::TZLBArchive &zlb) {
            add(zlb, "a.txt", sampleText(40));
            add(zlb, "\\Data\\b.bin", sampleNoise(300));
            add(zlb, "\\Data\\Sub\\empty.txt", QByteArray());
            add(zlb, "one.txt", "1");
        });
    }
    make(folder + "/many.zlb", archive::fcFastest, [](archive::TZLBArchive &zlb) {
        for (int i = 0; i < 12; ++i)
            add(zlb, QStringLiteral("\\f\\%1.txt").arg(i), sampleText(i));
    });
    make(folder + "/renamed.zlb", archive::fcDefault, [](archive::TZLBArchive &zlb) {
        add(zlb, "a-rather-long-name.txt", sampleText(5));
        zlb.RenameFileByName("a-rather-long-name.txt", "x");
    });
    return 0;
}
