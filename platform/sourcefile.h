#pragma once
// A regular file opened for reading in one open and one fstat: its length is known from
// the start and it is read by offset, so a small file costs open, fstat, read and close,
// which is what a list of thousands of small files needs. A FIFO, device or folder is
// refused without waiting for a writer.
#include <QIODevice>
#include <QString>

namespace platform {

class SourceFile : public QIODevice
{
public:
    SourceFile() = default;
    ~SourceFile() override;
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

    // Opens `name` read-only (following links); false, with the reason in errorString(),
    // when it cannot be opened or is not a regular file.
    bool openFile(const QString &name);
    void close() override;

    bool isSequential() const override { return false; }
    // Forgets where the end was seen, so a read after it looks again (the file may have grown).
    bool seek(qint64 pos) override;
    // The length the file had when it was opened; reads go on to its end even if it grew.
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    int m_fd = -1;
    qint64 m_size = 0;
    // Where a short read at or past the opened length met the end; -1 when not yet met.
    // A read from there answers 0 without asking the kernel again.
    qint64 m_endSeenAt = -1;
};

} // namespace platform
