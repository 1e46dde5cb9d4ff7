#include "archive/deflater.h"

#include "platform/error.h"

#include <zlib.h>

#include <limits>

namespace archive {

struct Deflater::State
{
    z_stream stream{};
    std::unique_ptr<Bytef[]> output = std::make_unique_for_overwrite<Bytef[]>(OutputBufferSize);
};

Deflater::Deflater(int zlibLevel, Sink sink)
    : m_state(std::make_unique<State>())
    , m_sink(std::move(sink))
{
    if (deflateInit2(&m_state->stream, zlibLevel, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw platform::Error(QStringLiteral("The compressor could not start"));
    m_state->stream.next_out = m_state->output.get();
    m_state->stream.avail_out = OutputBufferSize;
}

Deflater::~Deflater()
{
    deflateEnd(&m_state->stream);
}

void Deflater::reset()
{
    deflateReset(&m_state->stream);
    m_state->stream.next_out = m_state->output.get();
    m_state->stream.avail_out = OutputBufferSize;
}

void Deflater::feed(const char *data, qint64 size)
{
    z_stream &s = m_state->stream;
    while (size > 0) {
        const uInt piece = static_cast<uInt>(std::min<qint64>(size, std::numeric_limits<uInt>::max()));
        s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
        s.avail_in = piece;
        run(Z_NO_FLUSH);
        data += piece;
        size -= piece;
    }
}

void Deflater::finish()
{
    m_state->stream.avail_in = 0;
    run(Z_FINISH);
    const qint64 rest = OutputBufferSize - m_state->stream.avail_out;
    if (rest > 0)
        m_sink(reinterpret_cast<const char *>(m_state->output.get()), rest);
}

qint64 Deflater::consumed() const
{
    return static_cast<qint64>(m_state->stream.total_in);
}

void Deflater::run(int flush)
{
    z_stream &s = m_state->stream;
    for (;;) {
        const int result = deflate(&s, flush);
        if (result == Z_STREAM_ERROR)
            throw platform::Error(QStringLiteral("The compressor failed"));
        if (s.avail_out == 0) {
            m_sink(reinterpret_cast<const char *>(m_state->output.get()), OutputBufferSize);
            s.next_out = m_state->output.get();
            s.avail_out = OutputBufferSize;
            continue;
        }
        if (flush == Z_FINISH ? result == Z_STREAM_END : s.avail_in == 0)
            return;
    }
}

} // namespace archive
