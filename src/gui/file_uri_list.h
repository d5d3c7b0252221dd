// Files as a text/uri-list: one percent-encoded file:// URI per line,
// each ended by CR LF, as drop targets expect.
#pragma once

#include <string>
#include <vector>

std::string toFileUriList(const std::vector<std::string>& paths);
