// The arpeggiator's step editor: sixteen columns, one per step of the lane
// being edited. Each column shows the step's value as a bar (the note lane
// in the first layer, any other lane in the second), a switch below the
// bars (note lane only), the loop region of the lane below that, and the
// step now playing under a translucent cover. The control keeps its own
// copy of what it shows, in pixels; the editor sets it from the pattern
// and, on each report, reads the action code and writes back the steps
// the gesture changed (takeChangedSteps).
//
// Gestures, by the buttons held (the kind decides what a step gets):
//   Left                   0: the quantised height (sixteen levels except
//                             in lanes 3 and 7)
//   Left+Shift+Ctrl+Alt    1: the height as drawn (quantised in lanes 0, 3, 7)
//   Right, Left+Ctrl       2: the lane's default (second layer), else as 0
//   Left+Alt               4: paints step markers (first layer only)
//   Right+Shift            5: touches the step, changes nothing
//   Left+Ctrl+Alt, Left+Shift  6, 7: a straight line from the press
//   Left+Shift+Ctrl        rotate the pattern left (code 266), once a press
//   Left+Shift+Alt         rotate it right (code 267), once a press
// Where a press lands decides the gesture for the whole drag: the bars,
// the switch strip (code 1000 + step, note lane only) or the loop strip.
// In the loop strip, pressing the left half of the loop's first step (or
// left of the loop) drags its start keeping its end (code 18 + step);
// the right half of its last step (or right of the loop) drags its end
// (code 100 + last step - start); anywhere else inside the loop moves the
// whole loop, centred on the pointer, keeping its length (code 200 +
// first step).
#pragma once

#include "ckick_button.h"
#include "font_strip.h"

#include <cstdint>

class CBitmap;

class MyCKickstepseq : public CKickButton {
public:
    static constexpr int kSteps = 16;
    static constexpr int kLanes = 8;
    // The per-step getters answer this for a step outside 0..15.
    static constexpr int kNoStep = 22;
    static constexpr uint32_t kRotateLeftCode = 266;
    static constexpr uint32_t kRotateRightCode = 267;
    static constexpr uint32_t kSwitchCode = 1000;
    static constexpr uint32_t kLoopStartCode = 18;
    static constexpr uint32_t kLoopLengthCode = 100;
    static constexpr uint32_t kLoopMoveCode = 200;
    // What the reset gesture gives each lane, as a fraction of the bar height.
    static constexpr float kLaneDefaults[kLanes] = {0.0f, 0.5f, 0.5f, 0.0f, 0.5f, 1.0f, 0.5f, 0.0f};

    enum Gesture : int32_t {
        kDraw = 0,
        kDrawExact = 1,
        kReset = 2,
        kMarkers = 4,
        kTouch = 5,
        kLineCtrlAlt = 6,
        kLineShift = 7,
        kRotateLeft = 266,
        kRotateRight = 267,
        kNoGesture = -1,
    };
    // The gesture of a button-state word.
    static Gesture gestureOf(int32_t buttons);

    // editEnabled: 0 makes the grid ignore presses and draw no columns (the
    // editor passes whether the arpeggiator is on when it builds).
    MyCKickstepseq(const CRect& size, IControlListener* listener, int32_t tag, float scale,
                   int32_t editEnabled);
    ~MyCKickstepseq() override;

    // The bar area's width and height and the step width, in pixels (the
    // editor's step-grid metrics; by default 576, 208 and 36 times the
    // scale). The bar area starts at the control's top-left corner.
    void setGridMetrics(double barWidth, double barHeight, double stepWidth);
    double getBarAreaHeight() const { return barHeight; }
    double getStepWidth() const { return stepWidth; }

    // Renders the columns that changed into the off-screen picture.
    void drawSteps(CDrawContext* context);
    void editAt(const CPoint& where, int32_t gesture);
    int quantise(int pixelHeight) const;
    // Draws text from the font strip with its top-left at where; mode 1
    // puts a dark box behind it.
    void drawText(const char* text, CDrawContext* context, int mode, CPoint where) const;

    void setBarHeight(int step, int height);
    void setSecondLayerHeight(int step, int height);
    int getBarHeight(int step) const;
    int getSecondLayerHeight(int step) const;
    void setStepMarker(int step, int value);
    void setStepSwitch(int step, bool on);
    int getStepMarker(int step) const;
    bool getStepSwitch(int step) const;
    void setEditEnabled(int32_t value);
    int32_t getEditEnabled() const { return editEnabled; }
    void setPlayingStep(int step);
    int getPlayingStep() const { return playingStep; }
    // Returns 16 when this page shows steps, else 0.
    int setLength(int value);
    int getLength() const { return length; }
    int getVisibleSteps() const { return visibleSteps; }
    void setLoopStart(int value);
    int getLoopStart() const { return loopStart; }
    uint32_t getActionCode() const { return actionCode; }
    // Returns the old code, which becomes the previous one.
    uint32_t setActionCode(uint32_t code);
    uint32_t getPreviousActionCode() const { return previousActionCode; }
    uint32_t getPage() const { return page; }
    void setPage(uint32_t value);
    void setSecondLayerFlag(uint32_t value);
    uint32_t getSecondLayerFlag() const { return secondLayer; }
    void setCurrentLane(int value);
    int getCurrentLane() const { return currentLane; }
    // -1 while no paint value is chosen in this drag; 1 sets, 0 clears.
    float getPaintValue() const { return paintValue; }
    void setPaintValue(float value) { paintValue = value; }
    int32_t getMouseState() const { return mouseState; }

    // The steps whose pixels a gesture changed since the last call, one bit
    // per step: only these are written back into the pattern, so that
    // values between two pixels do not drift at every edit.
    uint16_t takeChangedSteps();
    // For the editor's own edits of the arrays that must be written back.
    void markStepsChanged(uint16_t steps) { changedSteps |= steps; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const int32_t& buttons) override;

private:
    enum class Region { Bars, Switches, Loop };
    enum class LoopDrag { Start, End, Move };

    CRect columnRect(int step) const; // in the control's own coordinates
    void invalidColumn(int step);
    void invalidAll();
    void storeHeight(int step, int height);
    void paintMarkers(int step, CCoord yInBars);
    int stepAt(CCoord x) const;
    CCoord switchTop() const;
    CCoord switchBottom() const;
    void renderColumn(CDrawContext* context, int step);

    int barHeights[kSteps];
    int stepMarkers[kSteps] = {};
    int secondHeights[kSteps] = {};
    uint8_t stepSwitches[kSteps];
    int currentLane = 0;
    int playingStep = 0;
    int32_t editEnabled;
    uint32_t actionCode = 0;
    uint32_t previousActionCode = 0;
    float paintValue = -1.0f;
    int visibleSteps = kSteps;
    int length = kSteps;
    uint32_t page = 0;
    int loopStart = 0;
    uint32_t secondLayer = 0;
    int32_t dragging = 0;
    bool hovered = false;
    uint16_t columnsDirty = 0xffff;
    uint16_t changedSteps = 0;
    int32_t mouseState = 0;

    double barWidth;
    double barHeight;
    double stepWidth;
    double inverseStepWidth;

    Region dragRegion = Region::Bars;
    LoopDrag loopDrag = LoopDrag::Move;
    int anchorStep = 0;
    int anchorHeight = 0;
    int lastPaintedStep = -1;
    int readoutStep = -1; // the step whose value shows while drawing

    float scale;
    FontStrip font;
    CBitmap* picture = nullptr;
    CBitmap* switchBitmap;
    CBitmap* barBitmap;
    CBitmap* secondBarBitmap;
    CBitmap* columnBitmapA;
    CBitmap* columnBitmapB;
    CBitmap* loopBitmap;
};
