// What the effect tells its editor: every parameter change after the engine
// applied it, and the refresh signals the engine sends on its own.
#pragma once

#include <cstdint>

class EditorLink {
public:
    virtual ~EditorLink() = default;
    virtual void setParameter(int32_t index, float value) = 0;
};
