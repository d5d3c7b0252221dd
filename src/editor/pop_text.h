// The small text-entry pop-up that the editor places over a value display
// after a double click. While it has the focus it hosts an edit box over
// its rectangle (inset 2 pixels): Return accepts, Escape restores the text,
// and losing the focus closes the box. An accepted text that is new, not
// empty and starts with a printable character is stored and reported; a
// cancelled entry is reported with the accepted flag clear, so that the
// editor can remove the pop-up in either case. The message dialog uses the
// same class for its button rectangles.
#pragma once

#include "ccontrol.h"
#include "cfont.h"

class CTextEdit;

class PopText : public CControl {
public:
    static constexpr int kTextSize = 256;
    static constexpr int kMaxButtons = 3;

    PopText(const CRect& size, IControlListener* listener, int32_t tag);
    ~PopText() override;

    // The text shown and edited (cut to 255 characters).
    void setText(const char* text);
    const char* getText() const { return text; }
    bool isAccepted() const { return accepted; }
    const char* getAcceptedText() const { return acceptedText; }
    void setTargetTag(int32_t t) { targetTag = t; }
    int32_t getTargetTag() const { return targetTag; }
    void setFont(const CFontDesc& f) { font = f; }
    bool isEditBoxOpen() const { return editBox != nullptr; }
    int32_t getMouseState() const { return mouseState; }

    // Up to three button rectangles (in the coordinates of the view's own
    // rectangle); a
    // press on one sets the value 0.8, 1.0 or 0.9 and tells the listener.
    void setButtons(int count, const CRect* rects);
    int getButtonCount() const { return buttonCount; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;
    bool wantsFocus() const override { return buttonCount == 0; }

private:
    void giveUpFocus();

    char text[kTextSize] = {};
    bool accepted = false;
    char acceptedText[kTextSize] = {};
    int32_t targetTag = -1;
    CRect buttonRects[kMaxButtons];
    int buttonCount = 0;
    int32_t mouseState = 0;
    CFontDesc font = kNormalFontSmall;
    CTextEdit* editBox = nullptr;
};
