#pragma once
// A zlib compressor in the format's settings: zlib format (RFC 1950), deflate, window 15
// bits, memory level 8, default strategy. Output leaves in 65,536-byte buffers; each
// full buffer goes to the sink at once, which is also when progress is reported.
#include <QtGlobal>

#include <functional>
#include <memory>

namespace archive {

class Deflater
{
public:
    static constexpr qint64 OutputBufferSize = 65536;
    using Sink = std::function<void(const char *data, qint64 size)>;

    // Throws platform::Error when zlib cannot start (out of memory).
    Deflater(int zlibLevel, Sink sink);
    ~Deflater();
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    // Starts a new stream at the same level, keeping zlib's memory.
    void reset();

    void feed(const char *data, qint64 size);
    // Ends the stream and hands over the last, partly filled buffer.
    void finish();

    // Source bytes taken in so far.
    qint64 consumed() const;

private:
    void run(int flush);

    struct State;
    std::unique_ptr<State> m_state;
    Sink m_sink;
};

} // namespace archive
