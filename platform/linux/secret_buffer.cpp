#include "platform/secret_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string.h>
#include <utility>

namespace platform {

void wipeBytes(void *data, std::size_t size)
{
    if (data && size)
        ::explicit_bzero(data, size);
}

void wipeString(QString &text)
{
    // Static text (a literal, raw data) has no header and is read-only; it is no secret.
    if (text.data_ptr().d_ptr())
        wipeBytes(const_cast<QChar *>(text.constData()), std::size_t(text.size()) * sizeof(QChar));
    text = QString();
}

SecretBuffer::SecretBuffer(const char *data, std::size_t size)
{
    append(data, size);
}

SecretBuffer::~SecretBuffer()
{
    clear();
}

SecretBuffer::SecretBuffer(SecretBuffer &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
    , m_capacity(std::exchange(other.m_capacity, 0))
{
}

SecretBuffer &SecretBuffer::operator=(SecretBuffer &&other) noexcept
{
    if (this != &other) {
        clear();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

// A larger block takes the bytes over and the old one is wiped before it is freed, so
// growing (unlike realloc) leaves nothing behind.
void SecretBuffer::reserve(std::size_t capacity)
{
    if (capacity <= m_capacity)
        return;
    capacity = std::max({capacity, m_capacity * 2, std::size_t(32)});
    auto *grown = static_cast<char *>(std::calloc(capacity, 1));
    if (!grown)
        throw std::bad_alloc();
    if (m_data) {
        std::memcpy(grown, m_data, m_size);
        wipeBytes(m_data, m_capacity);
        std::free(m_data);
    }
    m_data = grown;
    m_capacity = capacity;
}

void SecretBuffer::append(const char *data, std::size_t size)
{
    if (size == 0)
        return;
    std::memcpy(extend(size), data, size);
}

char *SecretBuffer::extend(std::size_t size)
{
    reserve(m_size + size);
    char *room = m_data + m_size;
    m_size += size;
    return room;
}

void SecretBuffer::shrink(std::size_t size)
{
    size = std::min(size, m_size);
    wipeBytes(m_data + m_size - size, size);
    m_size -= size;
}

void SecretBuffer::clear()
{
    if (m_data) {
        wipeBytes(m_data, m_capacity);
        std::free(m_data);
    }
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

} // namespace platform
