// The part of a RenderHost that every format's host of our own does the
// same way (they share the transport, MIDI-in, block and audio-capture
// members): each format's render host builds on this with its own host
// type and adds what its format does differently.
#pragma once

#include "render_host.h"

#include <utility>

template <typename Host>
class RenderHostOn : public RenderHost {
public:
    template <typename... Args>
    explicit RenderHostOn(Args&&... args) : host(std::forward<Args>(args)...) {}

    double sampleRate() const override { return host.sampleRate(); }
    int64_t samplePosition() const override { return host.samplePosition(); }
    void setTempo(double bpm) override { host.setTempo(bpm); }
    void setPlaying(bool playing) override { host.setPlaying(playing); }
    void locate(double ppq) override { host.locate(ppq); }
    void queueMidi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2) override {
        host.queueMidi(frame, status, data1, data2);
    }
    void processBlock(int32_t frames) override { host.processBlock(frames); }

    void captureAudio(bool on) override {
        host.captureAudio = on;
        host.audioLeft.clear();
        host.audioRight.clear();
    }
    void takeAudio(std::vector<float>& left, std::vector<float>& right) override {
        left = std::move(host.audioLeft);
        right = std::move(host.audioRight);
        host.audioLeft.clear();
        host.audioRight.clear();
    }

protected:
    Host host;
};
