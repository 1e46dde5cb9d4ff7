#include "archive/windowedreader.h"

#include <algorithm>
#include <cstring>

namespace archive {

WindowedReader::WindowedReader(std::unique_ptr<QIODevice> file)
    : m_file(std::move(file))
    // A small archive needs no more window than its size.
    , m_windowSize(std::clamp<qint64>(m_file->size(), 1, WindowSize))
    , m_window(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_windowSize)))
{
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 WindowedReader::size() const
{
    return m_file->size();
}

// The window then holds what the file has from `at` on, up to its size; false when the
// file could not be read there.
bool WindowedReader::fill(qint64 at)
{
    m_windowStart = at;
    m_windowLength = 0;
    if (!m_file->seek(at))
        return false;
    while (m_windowLength < m_windowSize) {
        const qint64 got = m_file->read(m_window.get() + m_windowLength, m_windowSize - m_windowLength);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        m_windowLength += got;
    }
    return true;
}

qint64 WindowedReader::readData(char *data, qint64 maxSize)
{
    const qint64 at = pos();
    const bool inWindow = at >= m_windowStart && at < m_windowStart + m_windowLength;
    if (!inWindow && maxSize >= m_windowSize) {
        if (!m_file->seek(at))
            return -1;
        return m_file->read(data, maxSize);
    }
    if (!inWindow && !fill(at)) {
        setErrorString(m_file->errorString());
        return -1;
    }
    const qint64 count = std::min(maxSize, m_windowStart + m_windowLength - at);
    std::memcpy(data, m_window.get() + (at - m_windowStart), static_cast<size_t>(count));
    return count;
}

qint64 WindowedReader::writeData(const char *, qint64)
{
    return -1;
}

} // namespace archive
