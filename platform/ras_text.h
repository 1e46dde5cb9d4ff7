#pragma once
// Text in RAS records: the ANSI code page, at most size - 1 bytes and a zero going in, up
// to the first zero (never past the field) coming out. Shared by the component and the
// provider so both sides read a field the same way.
#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace platform::ras {

inline void toField(char *field, std::size_t size, const QString &text)
{
    const QByteArray bytes = toAnsi(text);
    const std::size_t length = std::min<std::size_t>(std::size_t(bytes.size()), size - 1);
    std::memcpy(field, bytes.constData(), length);
    field[length] = 0;
}

inline QString fromField(const char *field, std::size_t size)
{
    const char *end = static_cast<const char *>(std::memchr(field, 0, size));
    return fromAnsi(field, end ? end - field : qsizetype(size));
}

} // namespace platform::ras
