#include "my_ckickstepseq.h"

#include "cbitmap.h"
#include "cdraw_context.h"
#include "cframe.h"
#include "scale_rule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr int32_t kButtonWord = kButtonMask | kModifierMask;
const CColor kPlayingStepCover{128, 128, 138, 50};
const CColor kMarkerColor{250, 160, 45, 255};
const CColor kOutsideLoopShade{8, 9, 12, 120};
const CColor kLoopHandle{255, 214, 150, 255};
const CColor kReadoutBox{10, 11, 14, 220};

// Pixel heights come from products like level / 26 * 208 that are whole
// in exact arithmetic; a hair of slack keeps truncation from losing one.
int truncatePixels(double pixels) {
    return static_cast<int>(pixels + 1e-9);
}

int sixteenLevels(int y, double h) {
    return y < 3 ? 0 : truncatePixels((std::floor(y / h * 15.9) + 1) * 0.0625 * h);
}

bool isShiftLane(int lane) {
    return lane == 3 || lane == 7;
}
} // namespace

MyCKickstepseq::Gesture MyCKickstepseq::gestureOf(int32_t buttons) {
    switch (buttons & kButtonWord) {
    case kLButton:
        return kDraw;
    case kLButton | kShift | kControl | kAlt:
        return kDrawExact;
    case kRButton:
    case kLButton | kControl:
        return kReset;
    case kLButton | kShift | kControl:
        return kRotateLeft;
    case kLButton | kAlt:
        return kMarkers;
    case kRButton | kShift:
        return kTouch;
    case kLButton | kControl | kAlt:
        return kLineCtrlAlt;
    case kLButton | kShift:
        return kLineShift;
    case kLButton | kShift | kAlt:
        return kRotateRight;
    default:
        return kNoGesture;
    }
}

MyCKickstepseq::MyCKickstepseq(const CRect& size, IControlListener* listener, int32_t tag,
                               float scale, int32_t editEnabled)
    : CKickButton(size, listener, tag, nullptr), editEnabled(editEnabled), scale(scale),
      font(scale), switchBitmap(new CBitmap(bitmapIdAtScale(1152, scale))),
      barBitmap(new CBitmap(bitmapIdAtScale(1153, scale))),
      secondBarBitmap(new CBitmap(bitmapIdAtScale(1154, scale))),
      columnBitmapA(new CBitmap(bitmapIdAtScale(1155, scale))),
      columnBitmapB(new CBitmap(bitmapIdAtScale(1156, scale))),
      loopBitmap(new CBitmap(bitmapIdAtScale(1157, scale))) {
    for (int i = 0; i < kSteps; ++i) {
        barHeights[i] = static_cast<int>(scale * 12) + i;
        stepSwitches[i] = 1;
    }
    setGridMetrics(scaled(576, scale), scaled(208, scale), scaled(576, scale) / 16);
}

MyCKickstepseq::~MyCKickstepseq() {
    for (CBitmap* b : {picture, switchBitmap, barBitmap, secondBarBitmap, columnBitmapA,
                       columnBitmapB, loopBitmap})
        if (b) b->forget();
}

void MyCKickstepseq::setGridMetrics(double width, double height, double step) {
    barWidth = width;
    barHeight = std::max(1.0, height);
    stepWidth = std::max(1.0, step);
    inverseStepWidth = 1 / stepWidth;
    invalidAll();
}

// ---- The editor's operations --------------------------------------------

void MyCKickstepseq::setBarHeight(int step, int height) {
    if (step < 0 || step >= kSteps || height < 0 || barHeights[step] == height) return;
    barHeights[step] = height;
    invalidColumn(step);
}

void MyCKickstepseq::setSecondLayerHeight(int step, int height) {
    if (step < 0 || step >= kSteps || height < 0 || secondHeights[step] == height) return;
    secondHeights[step] = height;
    invalidColumn(step);
}

int MyCKickstepseq::getBarHeight(int step) const {
    return step >= 0 && step < kSteps ? barHeights[step] : kNoStep;
}

int MyCKickstepseq::getSecondLayerHeight(int step) const {
    return step >= 0 && step < kSteps ? secondHeights[step] : kNoStep;
}

void MyCKickstepseq::setStepMarker(int step, int value) {
    if (step < 0 || step >= kSteps || value < 0 || stepMarkers[step] == value) return;
    stepMarkers[step] = value;
    invalidColumn(step);
}

void MyCKickstepseq::setStepSwitch(int step, bool on) {
    if (step < 0 || step >= kSteps || stepSwitches[step] == on) return;
    stepSwitches[step] = on;
    invalidColumn(step);
}

int MyCKickstepseq::getStepMarker(int step) const {
    return step >= 0 && step < kSteps ? stepMarkers[step] : kNoStep;
}

bool MyCKickstepseq::getStepSwitch(int step) const {
    return step >= 0 && step < kSteps && stepSwitches[step];
}

void MyCKickstepseq::setEditEnabled(int32_t value) {
    if (editEnabled < 0 || editEnabled == value) return;
    editEnabled = value;
    invalidAll();
}

void MyCKickstepseq::setPlayingStep(int step) {
    int s = ((step % kSteps) + kSteps) % kSteps;
    if (s == playingStep) return;
    // Only the cover moves: both columns are shown again, none rendered.
    auto showAgain = [this](int i) {
        if (frame)
            frame->invalidRect(localToFrame(columnRect(i).offset(size.left, size.top)));
        else
            setDirty();
    };
    showAgain(playingStep);
    playingStep = s;
    showAgain(playingStep);
}

int MyCKickstepseq::setLength(int value) {
    length = value;
    int d = value - kSteps * static_cast<int>(page);
    invalidAll();
    if (d >= 1) {
        visibleSteps = std::min(d, kSteps);
        return kSteps;
    }
    visibleSteps = page > 0 ? 0 : 1;
    return 0;
}

void MyCKickstepseq::setLoopStart(int value) {
    int s = std::clamp(value, 0, kSteps);
    if (s == loopStart) return;
    loopStart = s;
    invalidAll();
}

uint32_t MyCKickstepseq::setActionCode(uint32_t code) {
    previousActionCode = actionCode;
    actionCode = code;
    return previousActionCode;
}

void MyCKickstepseq::setPage(uint32_t value) {
    page = value;
    invalidAll();
}

void MyCKickstepseq::setSecondLayerFlag(uint32_t value) {
    if (value == secondLayer) return;
    secondLayer = value;
    invalidAll();
}

void MyCKickstepseq::setCurrentLane(int value) {
    int lane = std::clamp(value, 0, kLanes - 1);
    if (lane == currentLane) return;
    currentLane = lane;
    invalidAll();
}

uint16_t MyCKickstepseq::takeChangedSteps() {
    uint16_t steps = changedSteps;
    changedSteps = 0;
    return steps;
}

// ---- Values -------------------------------------------------------------

int MyCKickstepseq::quantise(int y) const {
    const double h = barHeight;
    if (currentLane == 0) {
        y = std::min(y, static_cast<int>(h) - 1);
        return y > 2 ? sixteenLevels(y, h) : 0;
    }
    if (!secondLayer) return y;
    if (y <= 1) return 0;
    if (isShiftLane(currentLane)) {
        const double s8 = scaled(8, scale);
        double v = std::clamp(std::floor((s8 + y) / h * 26) / 26, 0.0, 1.0);
        return truncatePixels(v * h);
    }
    return y; // y / h of the bar height is y itself
}

int MyCKickstepseq::stepAt(CCoord x) const {
    return std::clamp(static_cast<int>(std::floor((x - size.left) * inverseStepWidth)), 0,
                      kSteps - 1);
}

CCoord MyCKickstepseq::switchTop() const {
    return barHeight + scaled(2, scale);
}

CCoord MyCKickstepseq::switchBottom() const {
    return barHeight + scaled(13, scale);
}

void MyCKickstepseq::storeHeight(int step, int height) {
    int* heights = secondLayer ? secondHeights : barHeights;
    if (heights[step] == height) return;
    heights[step] = height;
    changedSteps |= static_cast<uint16_t>(1u << step);
    invalidColumn(step);
}

void MyCKickstepseq::paintMarkers(int step, CCoord yInBars) {
    if (paintValue == -1.0f) paintValue = stepMarkers[step] < 31 ? 1.0f : 0.0f;
    if (step == lastPaintedStep) return;
    int marker = 0;
    if (paintValue == 1.0f)
        marker = static_cast<int>(scaled(yInBars < barHeight / 2 ? 200 : 40, scale));
    // A quick drag may skip columns: every step passed gets painted.
    int from = lastPaintedStep < 0 ? step : lastPaintedStep + (step > lastPaintedStep ? 1 : -1);
    for (int i = std::min(from, step); i <= std::max(from, step); ++i) {
        if (stepMarkers[i] == marker) continue;
        stepMarkers[i] = marker;
        changedSteps |= static_cast<uint16_t>(1u << i);
        invalidColumn(i);
    }
    lastPaintedStep = step;
}

void MyCKickstepseq::editAt(const CPoint& where, int32_t gesture) {
    const CCoord y = where.y - size.top;
    const int step = stepAt(where.x);
    if (dragging == 0) {
        dragRegion = y < switchTop()      ? Region::Bars
                     : y < switchBottom() ? Region::Switches
                                          : Region::Loop;
        if (dragRegion == Region::Loop) {
            const int last = std::min(loopStart + length, kSteps) - 1;
            const CCoord inStep = (where.x - size.left) * inverseStepWidth - step;
            if (step < loopStart || (step == loopStart && inStep < 0.5))
                loopDrag = LoopDrag::Start;
            else if (step > last || (step == last && inStep >= 0.5))
                loopDrag = LoopDrag::End;
            else
                loopDrag = LoopDrag::Move;
        }
    }

    if (dragRegion == Region::Switches) {
        if (currentLane == 0 && (actionCode == 0 || actionCode > 999))
            setActionCode(kSwitchCode + static_cast<uint32_t>(std::min(step, kSteps - 1)));
        return;
    }
    if (dragRegion == Region::Loop) {
        switch (loopDrag) {
        case LoopDrag::Start:
            setActionCode(kLoopStartCode + static_cast<uint32_t>(step));
            break;
        case LoopDrag::End:
            setActionCode(kLoopLengthCode +
                          static_cast<uint32_t>(std::clamp(step - loopStart, 0, 15)));
            break;
        case LoopDrag::Move:
            setActionCode(kLoopMoveCode +
                          static_cast<uint32_t>(std::clamp(step - visibleSteps / 2, 0, 15)));
            break;
        }
        return;
    }

    const double h = barHeight;
    const int height = static_cast<int>(std::clamp(h - y, 0.0, h));
    if (dragging == 0) {
        anchorStep = step;
        anchorHeight = quantise(height);
    }
    switch (gesture) {
    case kDraw: {
        int q = quantise(height);
        storeHeight(step, isShiftLane(currentLane) ? q : sixteenLevels(q, h));
        break;
    }
    case kDrawExact:
        storeHeight(step, currentLane == 0 || isShiftLane(currentLane) ? quantise(height) : height);
        break;
    case kReset:
        storeHeight(step, secondLayer ? truncatePixels(kLaneDefaults[currentLane] * h)
                                      : quantise(height));
        break;
    case kMarkers:
        if (!secondLayer) paintMarkers(step, y);
        break;
    case kLineCtrlAlt:
    case kLineShift:
        if (dragging == 0) {
            storeHeight(step, anchorHeight);
        } else {
            const bool quantised = currentLane == 0 || (secondLayer && isShiftLane(currentLane));
            for (int i = std::min(anchorStep, step); i <= std::max(anchorStep, step); ++i) {
                double t = step == anchorStep
                               ? 1.0
                               : static_cast<double>(i - anchorStep) / (step - anchorStep);
                int hi = truncatePixels(anchorHeight + (height - anchorHeight) * t);
                storeHeight(i, quantised ? quantise(hi) : hi);
            }
        }
        break;
    default:
        break;
    }
    if (gesture != kLineCtrlAlt && gesture != kLineShift)
        setActionCode(static_cast<uint32_t>(step + 1));
    if (readoutStep != step) {
        if (readoutStep >= 0) invalidColumn(readoutStep);
        readoutStep = step;
    }
    invalidColumn(step);
}

// ---- Mouse --------------------------------------------------------------

CMouseEventResult MyCKickstepseq::onMouseDown(CPoint& where, const int32_t& buttons) {
    if (editEnabled < 1 || !(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    mouseState = buttons;
    dragging = 0;
    paintValue = -1.0f;
    lastPaintedStep = -1;
    beginEdit();
    setValue(1);
    return onMouseMoved(where, buttons);
}

CMouseEventResult MyCKickstepseq::onMouseMoved(CPoint& where, const int32_t& buttons) {
    if (!isEditing()) return kMouseEventNotHandled;
    if (!(buttons & (kLButton | kRButton))) return kMouseEventHandled;
    Gesture gesture = gestureOf(buttons);
    if (gesture == kNoGesture) return kMouseEventHandled;
    if (gesture == kRotateLeft || gesture == kRotateRight) {
        // One rotation per press: how often the pointer moves must not
        // decide how far the pattern turns.
        if (dragging) return kMouseEventHandled;
        setActionCode(gesture == kRotateLeft ? kRotateLeftCode : kRotateRightCode);
    } else {
        editAt(where, gesture);
    }
    dragging = 1;
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult MyCKickstepseq::onMouseUp(CPoint& where, const int32_t&) {
    if (!isEditing()) return kMouseEventNotHandled;
    hovered = size.pointInside(where);
    if (readoutStep >= 0) invalidColumn(readoutStep);
    readoutStep = -1;
    dragging = 0;
    actionCode = 0;
    previousActionCode = 0;
    endEdit();
    if (frame) frame->setCursor(kCursorDefault);
    setValue(0);
    paintValue = -1.0f;
    return kMouseEventHandled;
}

CMouseEventResult MyCKickstepseq::onMouseEntered(CPoint&, const int32_t&) {
    hovered = true;
    return kMouseEventHandled;
}

CMouseEventResult MyCKickstepseq::onMouseExited(CPoint&, const int32_t&) {
    hovered = false;
    return kMouseEventHandled;
}

// ---- Drawing ------------------------------------------------------------

CRect MyCKickstepseq::columnRect(int step) const {
    CCoord left = std::round(step * stepWidth);
    // The last column takes whatever is left of the control's width.
    CCoord right = step == kSteps - 1 ? size.getWidth() : std::round((step + 1) * stepWidth);
    return {left, 0, right, size.getHeight()};
}

void MyCKickstepseq::invalidColumn(int step) {
    columnsDirty |= static_cast<uint16_t>(1u << step);
    if (frame)
        frame->invalidRect(localToFrame(columnRect(step).offset(size.left, size.top)));
    else
        setDirty();
}

void MyCKickstepseq::invalidAll() {
    columnsDirty = 0xffff;
    setDirty();
}

void MyCKickstepseq::drawText(const char* text, CDrawContext* context, int mode,
                              CPoint where) const {
    const size_t n = std::strlen(text);
    if (mode == 1) {
        context->setFillColor(kReadoutBox);
        context->drawRect(CRect(where.x, where.y, where.x + static_cast<double>(n) * 6 * scale,
                                where.y + font.getHeight()),
                          kDrawFilled);
    }
    CCoord pen = where.x;
    for (size_t i = 0; i < n; ++i) {
        auto code = static_cast<unsigned char>(text[i]);
        int g = code >= 126 ? 93 : code < 32 ? 0 : code - 32;
        font.drawGlyph(context, g, pen, where.y, font.glyphWidth(g));
        pen += font.glyphWidth(g);
    }
}

void MyCKickstepseq::renderColumn(CDrawContext* context, int step) {
    const CRect column = columnRect(step);
    const CCoord s = scale;
    const CCoord h = barHeight;
    cairo_t* cr = context->getCairo();
    cairo_save(cr);
    cairo_rectangle(cr, column.left, column.top, column.getWidth(), column.getHeight());
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);
    if (editEnabled < 1) return;

    context->saveState();
    context->clipRect(column);
    const bool groupB = (step / 4) % 2 == 1;
    context->drawBitmap(groupB ? columnBitmapB : columnBitmapA, column);

    CRect bars(column.left, 0, column.right, h);
    auto drawBar = [&](CBitmap* bitmap, int height, float alpha) {
        CCoord top = h - std::clamp<CCoord>(height, 0, h);
        context->drawBitmap(bitmap, CRect(bars.left, top, bars.right, h), CPoint(0, top), alpha);
    };
    if (secondLayer) {
        // The note lane stays in view, faint, behind the lane being edited.
        drawBar(barBitmap, barHeights[step], 0.25f);
        drawBar(secondBarBitmap, secondHeights[step], 1.f);
    } else {
        drawBar(barBitmap, barHeights[step], 1.f);
    }
    if (stepMarkers[step] > 0) {
        CCoord y = std::clamp<CCoord>(h - stepMarkers[step], 0, h - 3 * s);
        context->setFillColor(kMarkerColor);
        context->drawRect(CRect(column.left + 5 * s, y, column.left + stepWidth - 5 * s, y + 3 * s),
                          kDrawFilled);
    }

    const CCoord switchHeight = switchBottom() - switchTop();
    context->drawBitmap(switchBitmap, CRect(column.left, switchTop(), column.right, switchBottom()),
                        CPoint(0, stepSwitches[step] ? switchHeight : 0),
                        currentLane == 0 ? 1.f : 0.4f);

    const int loopEnd = std::min(loopStart + length, kSteps);
    const bool inLoop = step >= loopStart && step < loopEnd;
    if (inLoop) {
        CRect strip(column.left, switchBottom(), column.right, column.bottom);
        context->drawBitmap(loopBitmap, strip);
        context->setFillColor(kLoopHandle);
        const CCoord hw = 3 * s;
        if (step == loopStart)
            context->drawRect(CRect(strip.left, strip.top, strip.left + hw, strip.bottom),
                              kDrawFilled);
        if (step == loopEnd - 1)
            context->drawRect(CRect(column.left + stepWidth - hw, strip.top,
                                    column.left + stepWidth, strip.bottom),
                              kDrawFilled);
    } else {
        context->setFillColor(kOutsideLoopShade);
        context->drawRect(CRect(column.left, 0, column.right, switchBottom()), kDrawFilled);
    }
    context->restoreState();
}

void MyCKickstepseq::drawSteps(CDrawContext* context) {
    for (int i = 0; i < kSteps; ++i)
        if (columnsDirty & (1u << i)) renderColumn(context, i);
    columnsDirty = 0;
}

void MyCKickstepseq::draw(CDrawContext* context) {
    const auto w = static_cast<int32_t>(std::ceil(size.getWidth()));
    const auto hgt = static_cast<int32_t>(std::ceil(size.getHeight()));
    if (!picture || picture->getWidth() != w || picture->getHeight() != hgt) {
        if (picture) picture->forget();
        picture = new CBitmap(w, hgt);
        columnsDirty = 0xffff;
    }
    if (columnsDirty) {
        CDrawContext offscreen(picture);
        drawSteps(&offscreen);
    }
    context->drawBitmap(picture, size);

    CRect playing = columnRect(playingStep).offset(size.left, size.top);
    context->setFillColor(kPlayingStepCover);
    context->drawRect(playing, kDrawFilled);

    if (readoutStep >= 0 && dragging && dragRegion == Region::Bars) {
        const int* heights = secondLayer ? secondHeights : barHeights;
        char text[8];
        std::snprintf(text, sizeof text, "%d",
                      static_cast<int>(std::lround(heights[readoutStep] * 100 / barHeight)));
        CRect column = columnRect(readoutStep).offset(size.left, size.top);
        drawText(text, context, 1, CPoint(column.left + 2 * scale, column.top + 2 * scale));
    }
    setDirty(false);
}
