// The chord section's eight-octave keyboard. It shows the notes of the
// current chord (one per voice), marks the trigger keys that hold a stored
// chord and the current trigger key, and turns clicks and drags into
// reports to its listener, which reads the hovered key, the grabbed voice,
// the buttons and the select and clear flags:
// - a press on a chord note grabs its voice, and dragging moves that note;
//   Ctrl-click on a chord note reports the keyboard offset as the key
//   (below 0: the voice is emptied);
// - a press in the top strip, or a Left+Alt drag, reports the keys passed
//   for selection (the current key) without grabbing a voice;
// - a Shift press reports at once with the clear flag (the editor plays
//   the current key's chord while the button is held); Shift+Alt goes on
//   as a Left+Alt drag;
// - a double click puts the key into the first free voice.
#pragma once

#include "ccontrol.h"
#include "key_geometry.h"

#include <cstdint>

class CBitmap;

class PianoKeys : public CControl {
public:
    static constexpr int kVoices = 8;
    static constexpr int kPositions = 128;
    static constexpr int kDrawnOctaves = 8;
    static constexpr int kDrawnPositions = 12 * kDrawnOctaves;
    // The top strip (selection) is this many pixels at either scale.
    static constexpr CCoord kTopStrip = 10;
    static constexpr int kDefaultOffset = -24;

    PianoKeys(const CRect& size, IControlListener* listener, int32_t tag, float scale);
    ~PianoKeys() override;

    // The editor's operations.
    virtual void setMark(int note, int state);
    virtual void clearMarks();
    virtual void setVoiceNote(int voice, float value);
    void setCurrentKey(float value);
    // The octave width in pixels (the editor's metric, 70 at 100 %), and
    // the metric handed over with it, which the drawing does not need.
    void setOctaveWidth(double width, double secondMetric = 0);
    double getOctaveWidth() const { return octaveWidth; }
    // Added to a note number to get its keyboard position: -24 shows notes
    // 24..119 (the start), 0 shows notes 0..95.
    void setKeyboardOffset(int offset);
    int getKeyboardOffset() const { return keyboardOffset; }
    // The lowest twelve keys choose arpeggiator patterns (shown greyed
    // when the offset is 0).
    void setPatternKeys(bool state);

    // What a report carries.
    int getHoveredKey() const { return hoveredKey; }
    int getGrabbedVoice() const { return grabbedVoice; }
    int32_t getButtons() const { return buttons; }
    bool getSelectFlag() const { return selectFlag; }
    bool getClearFlag() const { return clearFlag; }
    int getLastGrabbedNote() const { return lastGrabbedNote; }

    int getVoiceNote(int voice) const;
    int getCurrentKeyPosition() const { return currentKeyPosition; }
    bool getMark(int position) const;
    // The note whose zones hold p (parent coordinates), -1 for none.
    int noteAt(const CPoint& p) const;
    // False when the note has no place on the keyboard.
    bool zonesOf(int note, KeyZones& zones) const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;

private:
    CMouseEventResult handleMove(const CPoint& where, int32_t eventButtons);
    CPoint octaveOrigin(int position) const;

    int hoveredKey = -1;
    int grabbedVoice = -1;
    int keyboardOffset = kDefaultOffset;
    bool patternKeys = false;
    bool selectFlag = false;
    bool clearFlag = false;
    bool reportDue = false;
    double octaveWidth = 0;
    double secondMetric = 0;
    int lastGrabbedNote = -1;
    uint8_t marks[kPositions] = {};
    int voiceNotes[kVoices] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int currentKeyPosition = -1;
    CBitmap* keyBitmap;
    float scale;
    double upperHeight;
    double keyHeight;
    int32_t buttons = -1;
};
