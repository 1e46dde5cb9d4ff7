#pragma once
// Reads a file through one window of bytes: entries that lie side by side in an archive
// are read with one system call for many of them instead of a seek and a read each.
// A read at least as large as the window goes straight to the file.
#include <QIODevice>

#include <memory>

namespace archive {

class WindowedReader : public QIODevice
{
public:
    static constexpr qint64 WindowSize = 256 << 10;

    // Opens `file` (a file, or any device that can seek) for reading, which must be opened
    // already; its position is ours.
    explicit WindowedReader(std::unique_ptr<QIODevice> file);

    qint64 size() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fill(qint64 at);

    std::unique_ptr<QIODevice> m_file;
    qint64 m_windowSize;
    std::unique_ptr<char[]> m_window;
    qint64 m_windowStart = 0;
    qint64 m_windowLength = 0;
};

} // namespace archive
