// The arpeggiator section's one-octave keyboard: each key stands for a
// pitch class and shows its note-prevent rule (none, muted, a semitone
// down, a semitone up). A click steps the key's rule on and reports; the
// listener reads the hovered key and its rule. Keys of the pitch classes
// the arpeggiator is sounding are framed in green (the editor's timer sets
// them).
#pragma once

#include "ccontrol.h"
#include "key_geometry.h"

#include <cstdint>

class CBitmap;

class ArpPnoKeys : public CControl {
public:
    static constexpr int kKeys = 12;
    static constexpr int kRules = 4;

    ArpPnoKeys(const CRect& size, IControlListener* listener, int32_t tag, float scale);
    ~ArpPnoKeys() override;

    // The editor's operations. The marks are kept as on the chord keyboard
    // but not drawn.
    virtual void setMark(int note, int state);
    virtual void clearMarks();
    virtual void setNote(int index, float value);

    // The rule 0..3 shown on a pitch class.
    void setRule(int pitchClass, int rule);
    int getRule(int pitchClass) const;
    void setSounding(int pitchClass, bool state);
    bool isSounding(int pitchClass) const;
    int getShownNote(int index) const;

    // What a report carries: the clicked pitch class.
    int getHoveredKey() const { return hoveredKey; }
    int32_t getButtons() const { return buttons; }
    // The pitch class whose zones hold p, -1 for none.
    int keyAt(const CPoint& p) const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;

private:
    KeyZones zonesOf(int pitchClass) const;

    int hoveredKey = -1;
    int32_t buttons = -1;
    int8_t rules[kKeys] = {};
    uint8_t sounding[kKeys] = {};
    uint8_t marks[128] = {};
    int shownNotes[kKeys] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    CBitmap* keyBitmap;
    float scale;
    double upperHeight;
    double keyHeight;
};
