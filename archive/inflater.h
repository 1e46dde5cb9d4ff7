#pragma once
// A zlib decompressor that reads its input only from one region of a device, so a
// damaged or crafted stream can never make it read another entry's block, the registry
// or the trailer.
#include <QIODevice>

#include <memory>

namespace archive {

class Inflater
{
public:
    // The region [start, start + length) of `input`; the device is read sequentially
    // from `start` and must not be moved by anyone else while this reads.
    Inflater(QIODevice &input, qint64 start, qint64 length);
    ~Inflater();
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;

    // Produces up to `size` bytes and returns the count: fewer than asked when the stream
    // ended, the region ran out, or failed() turned true. Bytes inflated before a damage
    // was found are counted, so a caller can keep them.
    qint64 read(char *out, qint64 size);
    // Whether the stream is damaged or a read failed.
    bool failed() const;

private:
    bool refill();

    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace archive
