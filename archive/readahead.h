#pragma once
// Reads one source on a helper thread, with its checksum, while the caller's thread
// compresses the pieces already read: a single big source then costs the time of the
// slower of the two, not their sum. The caller sees the same pieces in the same order
// as a plain read, so the compressed bytes are the same.
#include <QIODevice>

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace archive {

class ReadAhead
{
public:
    static constexpr int Pieces = 4;

    struct Piece
    {
        const char *data = nullptr;
        qint64 size = 0;
    };

    // Reads `pieceSize` bytes at a time. `count` runs on the helper thread for every piece
    // read (checksum and limits); what it throws ends the reading and is raised by next().
    ReadAhead(QIODevice &source, qint64 pieceSize, std::function<void(const char *, qint64)> count);
    // Stops the helper and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The next piece; an empty one at the end of the source. The piece stays valid until
    // the next call. Raises the helper's failure once the pieces before it are taken.
    Piece next();

private:
    void read();

    QIODevice &m_source;
    qint64 m_pieceSize;
    std::function<void(const char *, qint64)> m_count;
    std::unique_ptr<char[]> m_buffers[Pieces];
    qint64 m_sizes[Pieces] = {};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_head = 0;          // the piece the caller takes next
    int m_filled = 0;        // pieces read and not yet given back
    bool m_handedOut = false;
    bool m_finished = false;
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_reader;
};

} // namespace archive
