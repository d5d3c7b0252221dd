// The engine as the persistence formats see it: its record, its parameter
// door and its release helpers.
#pragma once

#include "engine_door.h"

class ZandEngine;

class ZandEngineDoor : public EngineDoor {
public:
    explicit ZandEngineDoor(ZandEngine& engine) : engine(engine) {}
    EngineState& state() override;
    void setParameter(int32_t index, float value) override;
    void notifyEditor(int32_t index, float value) override;
    void resetChordMemory() override;
    void resetArpeggiator() override;
    void allChordNotesOff() override;
    void allArpNotesOff() override;
    void updateDisplay() override;
    void diagnostic(const char* line) override;

private:
    ZandEngine& engine;
};
