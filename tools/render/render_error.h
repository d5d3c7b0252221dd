// A failure the user can act on: its message is printed as it is, and the
// renderer exits with status 2.
#pragma once

#include <stdexcept>

class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
