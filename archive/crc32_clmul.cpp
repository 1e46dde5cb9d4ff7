#include "archive/crc32_clmul_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace archive::detail {
namespace {

// Folding constants for the reflected polynomial 0xEDB88320: x^(4*128+32), x^(4*128-32),
// x^(128+32), x^(128-32), x^64 mod P; then P' and the Barrett constant mu.
alignas(16) const quint64 Fold4[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) const quint64 Fold1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) const quint64 Fold64[2] = {0x0163cd6124, 0x0000000000};
alignas(16) const quint64 Barrett[2] = {0x01db710641, 0x01f7011641};

__attribute__((target("pclmul,sse4.1"))) __m128i fold(__m128i lane, __m128i constants, __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

__attribute__((target("pclmul,sse4.1"))) __m128i load(const unsigned char *at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
}

} // namespace

bool clmulAvailable()
{
    static const bool available = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return available;
}

__attribute__((target("pclmul,sse4.1"))) quint32 crc32Clmul(quint32 crc, const unsigned char *data, qint64 length)
{
    __m128i x1 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load(data + 16);
    __m128i x3 = load(data + 32);
    __m128i x4 = load(data + 48);
    data += 64;
    length -= 64;

    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i *>(Fold4));
    for (; length >= 64; data += 64, length -= 64) {
        x1 = fold(x1, k, load(data));
        x2 = fold(x2, k, load(data + 16));
        x3 = fold(x3, k, load(data + 32));
        x4 = fold(x4, k, load(data + 48));
    }

    k = _mm_load_si128(reinterpret_cast<const __m128i *>(Fold1));
    x1 = fold(x1, k, x2);
    x1 = fold(x1, k, x3);
    x1 = fold(x1, k, x4);
    for (; length >= 16; data += 16, length -= 16)
        x1 = fold(x1, k, load(data));

    // 128 bits to 64.
    const __m128i mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
    __m128i x2b = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2b);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(Fold64));
    x2b = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x00), x2b);

    // Barrett reduction to 32 bits.
    k = _mm_load_si128(reinterpret_cast<const __m128i *>(Barrett));
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x10);
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x2b, mask32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2b);
    return static_cast<quint32>(_mm_extract_epi32(x1, 1));
}

} // namespace archive::detail

#else

namespace archive::detail {

bool clmulAvailable()
{
    return false;
}

quint32 crc32Clmul(quint32 crc, const unsigned char *, qint64)
{
    return crc;
}

} // namespace archive::detail

#endif
