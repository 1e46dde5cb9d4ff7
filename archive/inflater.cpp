#include "archive/inflater.h"

#include "platform/error.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace archive {

namespace {
constexpr qint64 InputPiece = 64 << 10;
}

struct Inflater::State
{
    QIODevice *input = nullptr;
    qint64 left = 0;          // bytes of the region not read yet
    bool started = false;
    bool failed = false;
    bool ended = false;
    z_stream stream{};
    std::unique_ptr<Bytef[]> buffer;
    qint64 bufferSize = 0;
};

Inflater::Inflater(QIODevice &input, qint64 start, qint64 length)
    : m_state(std::make_unique<State>())
{
    m_state->input = &input;
    m_state->left = std::max<qint64>(length, 0);
    m_state->bufferSize = std::min(m_state->left, InputPiece) + 1;
    m_state->buffer = std::make_unique_for_overwrite<Bytef[]>(static_cast<size_t>(m_state->bufferSize));
    m_state->failed = !input.seek(start);
    if (inflateInit2(&m_state->stream, 15) != Z_OK)
        throw platform::Error(QStringLiteral("The decompressor could not start"));
    m_state->started = true;
}

Inflater::~Inflater()
{
    if (m_state->started)
        inflateEnd(&m_state->stream);
}

bool Inflater::refill()
{
    State &st = *m_state;
    if (st.left == 0)
        return false;
    const qint64 got = st.input->read(reinterpret_cast<char *>(st.buffer.get()),
                                      std::min<qint64>(st.left, st.bufferSize - 1));
    if (got <= 0)
        return false;
    st.left -= got;
    st.stream.next_in = st.buffer.get();
    st.stream.avail_in = static_cast<uInt>(got);
    return true;
}

bool Inflater::failed() const
{
    return m_state->failed;
}

qint64 Inflater::read(char *out, qint64 size)
{
    State &st = *m_state;
    z_stream &s = st.stream;
    qint64 produced = 0;
    while (produced < size && !st.ended && !st.failed) {
        if (s.avail_in == 0 && !refill()) {
            // The region used up ends the bytes; a file that ended early is a failure.
            st.failed = st.left != 0;
            break;
        }
        const uInt room = static_cast<uInt>(std::min<qint64>(size - produced, std::numeric_limits<uInt>::max()));
        s.next_out = reinterpret_cast<Bytef *>(out + produced);
        s.avail_out = room;
        const int result = inflate(&s, Z_NO_FLUSH);
        produced += room - s.avail_out;
        if (result == Z_STREAM_END)
            st.ended = true;
        else if (result != Z_OK && result != Z_BUF_ERROR)
            st.failed = true;
    }
    return produced;
}

} // namespace archive
