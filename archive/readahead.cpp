#include "archive/readahead.h"

namespace archive {

ReadAhead::ReadAhead(QIODevice &source, qint64 pieceSize, std::function<void(const char *, qint64)> count)
    : m_source(source)
    , m_pieceSize(pieceSize)
    , m_count(std::move(count))
{
    for (auto &buffer : m_buffers)
        buffer = std::make_unique_for_overwrite<char[]>(pieceSize);
    m_reader = std::thread([this] { read(); });
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_reader.join();
}

void ReadAhead::read()
{
    std::unique_lock lock(m_mutex);
    for (int tail = 0;; tail = (tail + 1) % Pieces) {
        m_changed.wait(lock, [&] { return m_stopping || m_filled < Pieces; });
        if (m_stopping)
            break;
        lock.unlock();
        qint64 got = 0;
        std::exception_ptr failure;
        try {
            got = m_source.read(m_buffers[tail].get(), m_pieceSize);
            m_count(m_buffers[tail].get(), got);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure || got == 0) {
            m_failure = failure;
            break;
        }
        m_sizes[tail] = got;
        ++m_filled;
        m_changed.notify_all();
    }
    m_finished = true;
    m_changed.notify_all();
}

ReadAhead::Piece ReadAhead::next()
{
    std::unique_lock lock(m_mutex);
    if (m_handedOut) {
        m_handedOut = false;
        m_head = (m_head + 1) % Pieces;
        --m_filled;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [&] { return m_filled > 0 || m_finished; });
    if (m_filled == 0) {
        if (m_failure)
            std::rethrow_exception(m_failure);
        return {};
    }
    m_handedOut = true;
    return {m_buffers[m_head].get(), m_sizes[m_head]};
}

} // namespace archive
