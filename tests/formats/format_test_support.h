// Shared pieces of the format tests: the stored reference files whose
// bytes the blocks must match.
#pragma once

#include "engine_state.h"
#include "stand_in_door.h"
#include "test_host_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Two blocks, byte for byte, told by the first byte that differs.
inline void expectSameBytes(const std::vector<uint8_t>& actual,
                            const std::vector<uint8_t>& expected, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i)
        ASSERT_EQ(actual[i], expected[i]) << what << " differs at byte " << i;
}

// The bytes must be those of the stored reference file `name`: a change
// of any field's place or encoding shows here. ZANDREL_WRITE_REFERENCE=1
// writes the files anew when a change of the format is intended.
inline void expectReferenceBytes(const std::vector<uint8_t>& bytes, const std::string& name) {
    const std::string path = std::string(ZANDREL_FORMAT_REFERENCES) + "/" + name;
    if (const char* write = std::getenv("ZANDREL_WRITE_REFERENCE"); write && *write == '1')
        writeFile(path, bytes);
    const std::string stored = fileText(path);
    expectSameBytes(bytes, {stored.begin(), stored.end()}, path);
}
