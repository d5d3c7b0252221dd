#include "preview_voice_kernel.h"

#include "waveform_table.h"

#include <immintrin.h>

namespace {
constexpr int kLanes = 4;
constexpr int kMaxGroups = kPreviewVoiceCount / kLanes;
constexpr int kChunk = 64; // samples rendered before they are summed

// One group of four voices in vector lanes. Lanes without a voice run on
// silently and are never summed.
struct Group {
    __m256d phase;
    __m256d increment;
    __m128i attack;
    __m128i release;
    __m256d alive;   // all ones while the lane's voice sounds
    __m128i sounded; // samples each lane sounded in this span
    int voices;
};

// One sample of one group: phase, table lookup, interpolation and the two
// envelopes, exactly as runPreviewSample computes them. Returns the values
// as floats, -0.0f for lanes that no longer sound (adding -0.0f changes no
// sum, not even the sign of a zero).
template <bool kEnvelopes>
__attribute__((target("avx2"))) inline __m128 sampleOf(Group& g, const double* table) {
    const __m256d one = _mm256_set1_pd(1.0);
    __m256d phase = _mm256_add_pd(g.phase, g.increment);
    const __m256d wrap = _mm256_cmp_pd(phase, one, _CMP_GE_OQ);
    phase = _mm256_blendv_pd(phase, _mm256_sub_pd(phase, one), wrap);
    const __m256d scaled = _mm256_mul_pd(phase, _mm256_set1_pd(65535.0));
    const __m256d whole = _mm256_floor_pd(scaled);
    const __m128i index =
        _mm_and_si128(_mm256_cvttpd_epi32(whole), _mm_set1_epi32(kWaveformSize - 1));
    // Entries i and i + 1 side by side, already widened to double (the
    // exact conversion): one 128-bit load per lane.
    // The four indices leave the vector through two 64-bit moves rather
    // than memory: table reads already keep the load ports busy.
    const auto low = static_cast<uint64_t>(_mm_cvtsi128_si64(index));
    const auto high = static_cast<uint64_t>(_mm_extract_epi64(index, 1));
    const uint32_t at[kLanes] = {static_cast<uint32_t>(low), static_cast<uint32_t>(low >> 32),
                                 static_cast<uint32_t>(high), static_cast<uint32_t>(high >> 32)};
    const __m256d lanes02 = _mm256_insertf128_pd(
        _mm256_castpd128_pd256(_mm_loadu_pd(table + at[0])), _mm_loadu_pd(table + at[2]), 1);
    const __m256d lanes13 = _mm256_insertf128_pd(
        _mm256_castpd128_pd256(_mm_loadu_pd(table + at[1])), _mm_loadu_pd(table + at[3]), 1);
    const __m256d atI = _mm256_unpacklo_pd(lanes02, lanes13);
    const __m256d atJ = _mm256_unpackhi_pd(lanes02, lanes13);
    const __m256d f = _mm256_sub_pd(scaled, whole);
    __m256d value = _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(one, f), atJ), _mm256_mul_pd(f, atI));
    // Without envelopes no voice ends in the span: every lane sounds on.
    if constexpr (!kEnvelopes) {
        g.phase = phase;
        return _mm256_cvtpd_ps(value);
    }
    __m256d stillAlive = g.alive;
    const __m128i aliveLanes = _mm256_cvtpd_epi32(_mm256_and_pd(g.alive, one)); // 1 or 0
    if constexpr (kEnvelopes) {
        const __m128i zero = _mm_setzero_si128();
        // Attack: value *= (160 - a) / 160 while a > 0 (x 1.0 changes nothing).
        const __m128i attacking = _mm_cmpgt_epi32(g.attack, zero);
        const __m256d attackFactor = _mm256_div_pd(
            _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_set1_epi32(kAttackSamples), g.attack)),
            _mm256_set1_pd(kAttackSamples));
        value = _mm256_mul_pd(
            value, _mm256_blendv_pd(one, attackFactor,
                                    _mm256_castsi256_pd(_mm256_cvtepi32_epi64(attacking))));
        g.attack = _mm_sub_epi32(g.attack, _mm_and_si128(attacking, aliveLanes));
        // Release: value *= r / 400 while r > 0; the voice ends when r was 1.
        const __m128i releasing = _mm_cmpgt_epi32(g.release, zero);
        const __m256d releaseFactor =
            _mm256_div_pd(_mm256_cvtepi32_pd(g.release), _mm256_set1_pd(kReleaseSamples));
        value = _mm256_mul_pd(
            value, _mm256_blendv_pd(one, releaseFactor,
                                    _mm256_castsi256_pd(_mm256_cvtepi32_epi64(releasing))));
        const __m128i ending = _mm_cmpeq_epi32(g.release, _mm_set1_epi32(1));
        g.release = _mm_sub_epi32(g.release, _mm_and_si128(releasing, aliveLanes));
        stillAlive = _mm256_andnot_pd(_mm256_castsi256_pd(_mm256_cvtepi32_epi64(ending)), g.alive);
    }
    g.phase = _mm256_blendv_pd(g.phase, phase, g.alive);
    g.sounded = _mm_add_epi32(g.sounded, aliveLanes);
    const __m128 out =
        _mm_blendv_ps(_mm_set1_ps(-0.0f), _mm256_cvtpd_ps(value),
                      _mm_castsi128_ps(_mm_cmpeq_epi32(aliveLanes, _mm_set1_epi32(1))));
    g.alive = stillAlive;
    return out;
}

// Adds the rendered values to both outputs: per sample, voice after voice.
__attribute__((target("avx2"))) void sumInto(float* left, float* right,
                                             const float (*rendered)[kChunk][kLanes],
                                             const Group* groups, int groupCount, int32_t length) {
    int32_t k = 0;
    for (; k + 4 <= length; k += 4) {
        __m128 sumLeft = _mm_loadu_ps(left + k);
        __m128 sumRight = _mm_loadu_ps(right + k);
        for (int g = 0; g < groupCount; ++g) {
            __m128 r0 = _mm_loadu_ps(rendered[g][k]);
            __m128 r1 = _mm_loadu_ps(rendered[g][k + 1]);
            __m128 r2 = _mm_loadu_ps(rendered[g][k + 2]);
            __m128 r3 = _mm_loadu_ps(rendered[g][k + 3]);
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            const __m128 lanes[kLanes] = {r0, r1, r2, r3};
            for (int lane = 0; lane < groups[g].voices; ++lane) {
                sumLeft = _mm_add_ps(sumLeft, lanes[lane]);
                sumRight = _mm_add_ps(sumRight, lanes[lane]);
            }
        }
        _mm_storeu_ps(left + k, sumLeft);
        _mm_storeu_ps(right + k, sumRight);
    }
    for (; k < length; ++k) {
        for (int g = 0; g < groupCount; ++g) {
            for (int lane = 0; lane < groups[g].voices; ++lane) {
                left[k] += rendered[g][k][lane];
                right[k] += rendered[g][k][lane];
            }
        }
    }
}

template <bool kEnvelopes>
__attribute__((target("avx2"))) void renderChunk(Group* groups, int groupCount, const double* table,
                                                 float (*rendered)[kChunk][kLanes],
                                                 int32_t length) {
    // Two groups at a time, kept in registers: each phase depends on the
    // one before, and two independent chains keep the processor busy.
    int g = 0;
    for (; g + 2 <= groupCount; g += 2) {
        Group a = groups[g];
        Group b = groups[g + 1];
        for (int32_t k = 0; k < length; ++k) {
            _mm_storeu_ps(rendered[g][k], sampleOf<kEnvelopes>(a, table));
            _mm_storeu_ps(rendered[g + 1][k], sampleOf<kEnvelopes>(b, table));
        }
        groups[g] = a;
        groups[g + 1] = b;
    }
    if (g < groupCount) {
        Group a = groups[g];
        for (int32_t k = 0; k < length; ++k)
            _mm_storeu_ps(rendered[g][k], sampleOf<kEnvelopes>(a, table));
        groups[g] = a;
    }
}

__attribute__((target("avx2"))) void renderVectorized(PreviewVoice* const* voices, int count,
                                                      const double* table, float* left,
                                                      float* right, int32_t from, int32_t length) {
    Group groups[kMaxGroups];
    const int groupCount = (count + kLanes - 1) / kLanes;
    bool envelopes = false;
    for (int g = 0; g < groupCount; ++g) {
        alignas(32) double phase[kLanes] = {}, increment[kLanes] = {};
        alignas(16) int32_t attack[kLanes] = {}, release[kLanes] = {};
        alignas(32) int64_t alive[kLanes] = {};
        groups[g].voices = count - g * kLanes < kLanes ? count - g * kLanes : kLanes;
        for (int lane = 0; lane < groups[g].voices; ++lane) {
            const PreviewVoice& v = *voices[g * kLanes + lane];
            phase[lane] = v.phase;
            increment[lane] = v.phaseIncrement;
            attack[lane] = v.attackCounter;
            release[lane] = v.releaseCounter;
            alive[lane] = -1;
            envelopes = envelopes || v.attackCounter > 0 || v.releaseCounter > 0;
        }
        groups[g].phase = _mm256_load_pd(phase);
        groups[g].increment = _mm256_load_pd(increment);
        groups[g].attack = _mm_load_si128(reinterpret_cast<const __m128i*>(attack));
        groups[g].release = _mm_load_si128(reinterpret_cast<const __m128i*>(release));
        groups[g].alive =
            _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(alive)));
        groups[g].sounded = _mm_setzero_si128();
    }

    alignas(32) float rendered[kMaxGroups][kChunk][kLanes];
    for (int32_t start = 0; start < length; start += kChunk) {
        const int32_t n = length - start < kChunk ? length - start : kChunk;
        if (envelopes) {
            renderChunk<true>(groups, groupCount, table, rendered, n);
        } else {
            renderChunk<false>(groups, groupCount, table, rendered, n);
            for (int g = 0; g < groupCount; ++g)
                groups[g].sounded = _mm_add_epi32(groups[g].sounded, _mm_set1_epi32(n));
        }
        sumInto(left + from + start, right + from + start, rendered, groups, groupCount, n);
    }

    for (int g = 0; g < groupCount; ++g) {
        alignas(32) double phase[kLanes];
        alignas(16) int32_t attack[kLanes], release[kLanes], sounded[kLanes];
        _mm256_store_pd(phase, groups[g].phase);
        _mm_store_si128(reinterpret_cast<__m128i*>(attack), groups[g].attack);
        _mm_store_si128(reinterpret_cast<__m128i*>(release), groups[g].release);
        _mm_store_si128(reinterpret_cast<__m128i*>(sounded), groups[g].sounded);
        for (int lane = 0; lane < groups[g].voices; ++lane) {
            PreviewVoice& v = *voices[g * kLanes + lane];
            v.phase = phase[lane];
            v.attackCounter = attack[lane];
            if (v.releaseCounter > 0 && v.releaseCounter <= sounded[lane]) {
                v.active = 0;
                v.note = 0;
            }
            v.releaseCounter = release[lane];
            if (v.gateCountdown > 0) v.gateCountdown -= sounded[lane];
        }
    }
}
} // namespace

bool previewKernelAvailable() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

void renderPreviewVoicesVectorized(PreviewVoice* const* voices, int count, const double* table,
                                   float* left, float* right, int32_t from, int32_t length) {
    if (count > 0 && length > 0) renderVectorized(voices, count, table, left, right, from, length);
}
