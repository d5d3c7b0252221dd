// A control that shows its value as text, with back, frame, font and
// shadow colours. valueToString turns the value into the text; without it
// the value is shown with two decimals.
#pragma once

#include "ccolor.h"
#include "ccontrol.h"
#include "cdraw_context.h"
#include "cfont.h"

#include <functional>
#include <string>

enum CParamDisplayStyle : int32_t {
    kShadowText = 1 << 2,
    k3DIn = 1 << 3,
    k3DOut = 1 << 4,
    kNoTextStyle = 1 << 5,
    kNoDrawStyle = 1 << 6,
    kNoFrame = 1 << 8,
};

class CParamDisplay : public CControl {
public:
    using ValueToString = std::function<std::string(float)>;

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;

    void setFont(const CFontDesc& f) {
        font = f;
        setDirty();
    }
    const CFontDesc& getFont() const { return font; }
    void setFontColor(CColor c) {
        fontColor = c;
        setDirty();
    }
    CColor getFontColor() const { return fontColor; }
    void setBackColor(CColor c) {
        backColor = c;
        setDirty();
    }
    CColor getBackColor() const { return backColor; }
    void setFrameColor(CColor c) {
        frameColor = c;
        setDirty();
    }
    CColor getFrameColor() const { return frameColor; }
    void setShadowColor(CColor c) {
        shadowColor = c;
        setDirty();
    }
    CColor getShadowColor() const { return shadowColor; }
    void setHoriAlign(CHoriTxtAlign a) {
        horiAlign = a;
        setDirty();
    }
    void setStyle(int32_t s) {
        style = s;
        setDirty();
    }
    int32_t getStyle() const { return style; }
    void setValueToStringFunction(ValueToString f) {
        valueToString = std::move(f);
        setDirty();
    }

    // The text the display shows for its current value.
    virtual std::string getDisplayText() const;

protected:
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, const std::string& text);

    CFontDesc font = kNormalFontSmall;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = CColor{0, 0, 0, 160};
    CHoriTxtAlign horiAlign = kCenterText;
    int32_t style;
    ValueToString valueToString;
};
