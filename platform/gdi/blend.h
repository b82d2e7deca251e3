// Blending antialiased text into pixels: one colour laid over a row of
// 0x00RRGGBB pixels with a coverage of 0..255 per pixel.
#pragma once

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace portable_win32 {

// Each channel becomes (under * (255 - coverage) + over * coverage + 127) / 255.
// Red and blue are worked out together in the two 16-bit halves of one word
// (no half exceeds 65,152), and x / 255 is (x + 1 + (x >> 8)) >> 8, which
// is exact for every x up to 65,534.
inline uint32_t blend(uint32_t under, uint32_t over, unsigned coverage) {
    if (coverage == 255) {
        return over;
    }
    const uint32_t keep = 255 - coverage;
    uint32_t rb = (under & 0x00FF00FF) * keep + (over & 0x00FF00FF) * coverage + 0x007F007F;
    uint32_t g = ((under >> 8) & 0xFF) * keep + ((over >> 8) & 0xFF) * coverage + 0x7F;
    rb = ((rb + 0x00010001 + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    g = ((g + 1 + (g >> 8)) >> 8) & 0xFF;
    return rb | (g << 8);
}

#ifdef __SSE2__
// Four pixels at once, with the same arithmetic as blend() in 16-bit lanes
// (every intermediate value fits: at most 65,407). A pixel of coverage 0 is
// left exactly as it was, as blend_row's plain loop leaves it untouched.
inline void blend_four(uint32_t *out, uint32_t coverage4, __m128i ink16) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i *>(out));
    // Each pixel's coverage in its four bytes, then in 16-bit lanes.
    __m128i cover = _mm_cvtsi32_si128(static_cast<int>(coverage4));
    cover = _mm_unpacklo_epi8(cover, cover);
    cover = _mm_unpacklo_epi16(cover, cover);
    const __m128i untouched = _mm_cmpeq_epi32(cover, zero);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(127);
    const __m128i one = _mm_set1_epi16(1);
    __m128i result[2];
    for (int part = 0; part < 2; part++) {
        const __m128i c =
            part == 0 ? _mm_unpacklo_epi8(cover, zero) : _mm_unpackhi_epi8(cover, zero);
        const __m128i u =
            part == 0 ? _mm_unpacklo_epi8(under, zero) : _mm_unpackhi_epi8(under, zero);
        __m128i x =
            _mm_add_epi16(_mm_mullo_epi16(u, _mm_sub_epi16(full, c)), _mm_mullo_epi16(ink16, c));
        x = _mm_add_epi16(x, half);
        result[part] =
            _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
    }
    __m128i blended = _mm_packus_epi16(result[0], result[1]);
    blended = _mm_and_si128(blended, _mm_set1_epi32(0x00FFFFFF));
    const __m128i kept =
        _mm_or_si128(_mm_and_si128(untouched, under), _mm_andnot_si128(untouched, blended));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), kept);
}
#endif

// Lays `ink` over out[0, count) with the coverages cover[0, count); pixels
// of coverage 0 are not changed.
inline void blend_row(uint32_t *out, const unsigned char *cover, int64_t count, uint32_t ink) {
    int64_t i = 0;
#ifdef __SSE2__
    const __m128i ink16 =
        _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(ink)), _mm_setzero_si128());
    for (; i + 4 <= count; i += 4) {
        uint32_t coverage4;
        std::memcpy(&coverage4, cover + i, sizeof coverage4);
        if (coverage4 != 0) {
            blend_four(out + i, coverage4, ink16);
        }
    }
#endif
    for (; i < count; i++) {
        if (cover[i] != 0) {
            out[i] = blend(out[i], ink, cover[i]);
        }
    }
}

} // namespace portable_win32
