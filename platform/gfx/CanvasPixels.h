#pragma once
// Pixel arithmetic on premultiplied 0xAARRGGBB values, shared by the canvas and the text code.

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace plat {
// The [left, right) of row y covered by a rounded rectangle whose corners are quarter ellipses
// of the given size (pixels whose centre is inside); {0, 0} when the row is not covered.
std::pair<int, int> RoundRectRowSpan(const RECT& rc, int ellipseWidth, int ellipseHeight, int y);
} // namespace plat

namespace plat::pixels {

// Every channel (alpha included) multiplied by k / 255, rounded.
inline uint32_t MulChannels(uint32_t p, uint32_t k) {
    uint32_t rb = (p & 0x00FF00FFu) * k + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * k + 0x00800080u;
    ag = ((ag + ((ag >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    return rb | (ag << 8);
}

// Source over destination, both premultiplied.
inline uint32_t Over(uint32_t src, uint32_t dst) {
    const uint32_t a = src >> 24;
    if (a == 255)
        return src;
    if (src == 0)
        return dst;
    return src + MulChannels(dst, 255 - a);
}

#ifdef __SSE2__
// x * k / 255, rounded, in each 16-bit lane (the same arithmetic as MulChannels).
inline __m128i MulDiv255(__m128i x, __m128i k) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, k), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}
#endif

// out[i] = Over(MulChannels(in[i], k), out[i]) for a row, four pixels at a time where the
// processor allows; the results are identical to the one-pixel formulas.
inline void BlendRow(uint32_t* out, const uint32_t* in, int n, uint32_t k) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i kk = _mm_set1_epi16(static_cast<short>(k));
    const __m128i full = _mm_set1_epi16(255);
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
        if (k != 255) {
            slo = MulDiv255(slo, kk);
            shi = MulDiv255(shi, kk);
        }
        // Each pixel's alpha (its fourth 16-bit lane) spread over its four lanes.
        const __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(slo, 0xFF), 0xFF);
        const __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(shi, 0xFF), 0xFF);
        const __m128i dlo =
            _mm_add_epi16(slo, MulDiv255(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, alo)));
        const __m128i dhi =
            _mm_add_epi16(shi, MulDiv255(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, ahi)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(dlo, dhi));
    }
#endif
    for (; i < n; ++i)
        out[i] = Over(k == 255 ? in[i] : MulChannels(in[i], k), out[i]);
}

} // namespace plat::pixels
