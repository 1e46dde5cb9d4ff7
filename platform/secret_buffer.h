#pragma once
// Bytes of a secret, a password above all: the buffer owns them and wipes them when it is
// destroyed, cleared or outgrown, so that no copy is left behind in freed memory. It is
// never copied implicitly; moving hands the bytes over and leaves the source empty. A
// secret goes from one such buffer to the next, or straight into the caller's record,
// never through a QString or QByteArray that would leave its bytes to the allocator.
#include <QString>
#include <QStringView>

#include <cstddef>
#include <string_view>

namespace platform {

// Zeroes memory in a way the compiler may not leave out.
void wipeBytes(void *data, std::size_t size);

// Zeroes a string's characters in place, also those of copies that share them, and
// empties it. For the one QString an interface insists on (a D-Bus argument, a field of
// the caller's): wipe it as soon as it has been handed on.
void wipeString(QString &text);

class SecretBuffer
{
public:
    SecretBuffer() = default;
    SecretBuffer(const char *data, std::size_t size);
    ~SecretBuffer();
    SecretBuffer(const SecretBuffer &) = delete;
    SecretBuffer &operator=(const SecretBuffer &) = delete;
    SecretBuffer(SecretBuffer &&other) noexcept;
    SecretBuffer &operator=(SecretBuffer &&other) noexcept;

    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    std::string_view view() const { return {m_data, m_size}; }

    void append(const char *data, std::size_t size);
    void append(char byte) { append(&byte, 1); }
    // Room for size more bytes at the end (zeroed), for a read to fill; give back what
    // it did not fill with shrink.
    char *extend(std::size_t size);
    void shrink(std::size_t size);
    void clear();

private:
    void reserve(std::size_t capacity);

    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// Text in a wiped buffer as UTF-16 units, for code that needs a QStringView of a secret.
class SecretText
{
public:
    void append(char16_t unit) { m_bytes.append(reinterpret_cast<const char *>(&unit), sizeof unit); }
    QStringView view() const
    {
        return {reinterpret_cast<const char16_t *>(m_bytes.data()), qsizetype(m_bytes.size() / sizeof(char16_t))};
    }

private:
    SecretBuffer m_bytes;
};

} // namespace platform
