// The editor side of the VST 2.4 interface: the window rectangle and the
// base class the effect hands its editor opcodes to.
#pragma once

#include <cstdint>

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

static_assert(sizeof(ERect) == 8);

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    // Stores a pointer to the editor's rectangle; answers true when one exists.
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    // parentWindow is the host's X11 window id cast to a pointer.
    virtual bool open(void* parentWindow) {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual void idle() {}
    virtual bool isOpen() const { return systemWindow != nullptr; }

    AudioEffect* getEffect() const { return effect; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};
