#pragma once
// Private to the translation: texts that read as a number are shown as they are.
#include <QStringView>

#include <optional>

namespace suite::detail {

// The 32-bit integer a text reads as: optional leading blanks, an optional sign, then
// decimal digits, or hexadecimal digits (either case) after "$", "x" or "0x". Decimal
// values must fit the signed range; hexadecimal ones go up to FFFFFFFF, which wraps
// into the negative range. None for anything else, trailing blanks included.
std::optional<qint32> readInteger(QStringView text);

} // namespace suite::detail
