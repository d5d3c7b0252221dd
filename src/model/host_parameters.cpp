#include "host_parameters.h"

#include "arp_rates.h"

namespace {
using K = ParameterKind;
using D = DisplayRule;

constexpr float kDefaultTranspose = static_cast<float>(24 / 48.99); // no transposition
constexpr float kDefaultRate = 0.58f;                               // "1/16"
} // namespace

const HostParameter kHostParameters[param::kHostParameterCount] = {
    {0, "transpose", "Transpos", "  ", K::kStepped, 49, kDefaultTranspose, D::kSemitones},
    {1, "swing", "Swing ", "%", K::kContinuous, 0, 0.0f, D::kPercentOf100},
    {2, "gate", "Gate", "%", K::kContinuous, 0, 0.5f, D::kPercentOf200},
    {3, "pattern", "Pattern", "  ", K::kStepped, 12, 0.0f, D::kPatternLetter},
    {4, "arp_no_c", "Arp_No C ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {5, "arp_no_c_sharp", "Arp_No C#", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {6, "arp_no_d", "Arp_No D ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {7, "arp_no_d_sharp", "Arp_No D#", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {8, "arp_no_e", "Arp_No E ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {9, "arp_no_f", "Arp_No F ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {10, "arp_no_f_sharp", "Arp_No F#", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {11, "arp_no_g", "Arp_No G ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {12, "arp_no_g_sharp", "Arp_No G#", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {13, "arp_no_a", "Arp_No A ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {14, "arp_no_a_sharp", "Arp_No A#", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {15, "arp_no_b", "Arp_No B ", "  ", K::kStepped, 4, 0.0f, D::kNoteRule},
    {16, "chords_on", "Chords ON", "  ", K::kToggle, 2, 1.0f, D::kOnOff},
    {17, "arp_on", "Arp ON", "  ", K::kToggle, 2, 1.0f, D::kOnOff},
    {18, "rate_p01", "Rate P01", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {19, "rate_p02", "Rate P02", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {20, "rate_p03", "Rate P03", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {21, "rate_p04", "Rate P04", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {22, "rate_p05", "Rate P05", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {23, "rate_p06", "Rate P06", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {24, "rate_p07", "Rate P07", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {25, "rate_p08", "Rate P08", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {26, "rate_p09", "Rate P09", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {27, "rate_p10", "Rate P10", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {28, "rate_p11", "Rate P11", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {29, "rate_p12", "Rate P12", "  ", K::kStepped, kRateIndexCount, kDefaultRate, D::kRate},
    {30, "midi_latch", "MIDILatch", "  ", K::kToggle, 2, 0.0f, D::kOnOff},
    {31, "arp_free_rate", "ArpFreeRate", "  ", K::kToggle, 2, 0.0f, D::kNone},
};

const HostParameter* hostParameter(int32_t index) {
    return index >= 0 && index < param::kHostParameterCount ? &kHostParameters[index] : nullptr;
}
