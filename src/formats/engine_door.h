// What the loaders and appliers of the persistence formats need from the
// effect: its engine record, its parameter door (every change goes through
// it, as if the host had set it), the editor-only notifications, the resets
// and release helpers, and the host display refresh. The effect implements
// it; tests can stand in for it.
#pragma once

#include "engine_state.h"

#include <cstdint>

class EngineDoor {
public:
    virtual ~EngineDoor() = default;
    virtual EngineState& state() = 0;
    // The effect's own setParameter (the editor hears of it too).
    virtual void setParameter(int32_t index, float value) = 0;
    // Tells the editor a value without applying it.
    virtual void notifyEditor(int32_t index, float value) = 0;
    virtual void resetChordMemory() = 0;
    virtual void resetArpeggiator() = 0;
    virtual void allChordNotesOff() = 0;
    virtual void allArpNotesOff() = 0;
    virtual void updateDisplay() = 0;
    // One diagnostic line (format as printf; lines begin with a newline).
    virtual void diagnostic(const char* line) = 0;
};
