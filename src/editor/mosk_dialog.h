// The editor's message box: a title, a text and up to three buttons ("OK",
// then "Cancel", then a third of the caller's naming), drawn as a framed
// box; the button under the pointer is lit. A click on a button reports
// 0.8, 1.0 or 0.9 (first, second, third) to the listener, which closes the
// box. It shares the text-entry pop-up's button machinery.
#pragma once

#include "pop_text.h"

#include <string>

class moskDialog : public PopText { // NOLINT(readability-identifier-naming)
public:
    static constexpr int kTextLimit = 512;

    moskDialog(const CRect& size, IControlListener* listener, int32_t tag, float scale = 1);

    // Each cut to 511 characters.
    void setTitleAndText(const char* title, const char* text);
    const std::string& getTitle() const { return title; }
    const std::string& getMessage() const { return message; }
    // 0: "OK"; 1: "OK" and "Cancel"; 2: also the third button.
    void setButtonLayout(int32_t layout);
    int32_t getButtonLayout() const { return layout; }
    void setThirdLabel(const char* label) { thirdLabel = label ? label : ""; }
    int32_t getHoveredButton() const { return hoveredButton; }
    // A button's rectangle (parent coordinates).
    CRect buttonRect(int index) const;

    void setViewSize(const CRect& r, bool invalidate = true) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const int32_t& buttons) override;

private:
    void placeButtons();

    std::string title;
    std::string message;
    int32_t layout = 0;
    std::string thirdLabel;
    int32_t hoveredButton = -1;
    float scale;
};
