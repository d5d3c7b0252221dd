// A session as text, one step a line, so that a shrunk reproduction can be
// printed, kept in a file and replayed exactly:
//   seed 42
//   block 256 | 0 90 3c 64 | 17 80 3c 00     (offset, then three bytes in hex)
//   param 17 1            play 1            locate 3.5
//   loop 1 0 4            tempo 120         rate 96000
//   chunk 27512 7         (byte size, damage seed: 0 = as saved)
//   read 40               (parameter texts and values from index 40 on)
#pragma once

#include "session.h"

#include <optional>
#include <string>

namespace soak {

std::string sessionText(const Session& session);
std::optional<Session> parseSession(const std::string& text);

} // namespace soak
