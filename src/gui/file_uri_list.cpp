#include "file_uri_list.h"

#include <cctype>
#include <cstdio>

std::string toFileUriList(const std::vector<std::string>& paths) {
    std::string out;
    for (const std::string& p : paths) {
        out += "file://";
        for (unsigned char c : p) {
            // Percent-encode everything a URI path may not carry as it is.
            if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
                out += static_cast<char>(c);
            } else {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%%%02X", c);
                out += hex;
            }
        }
        out += "\r\n";
    }
    return out;
}
