// The arpeggiator's rate table: a pattern's rate value 0..1 picks one of 43
// step lengths, from sixteen bars down to "fast".
#pragma once

constexpr int kRateIndexCount = 43;

// r = (int)(rate * 42 + 0.5)
int rateIndexOf(float rate);
// Steps per quarter note for rate index r.
double stepsPerBeatOfIndex(int rateIndex);
double stepsPerBeatOfRate(float rate);
// The name shown for rate index r ("1/16", "bar trip", ..., "fast").
const char* rateName(int rateIndex);
// Frequency in hertz of a rate value while the free rate is on: rate^4 * 440.
double freeRateHz(float rate);
