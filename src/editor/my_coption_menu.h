// An option menu that always shows its title (the preset menus show the
// name of the loaded preset), never the chosen entry. Choosing works as in
// the toolkit's option menu.
#pragma once

#include "coption_menu.h"

class MyCOptionMenu : public COptionMenu {
public:
    static constexpr int kTitleSize = 32;

    MyCOptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                  CBitmap* background = nullptr, int32_t style = 0);

    // Written directly by the editor, or through setTitle (cut to 31
    // characters).
    char title[kTitleSize] = "Hello";
    void setTitle(const char* text);

    int32_t getMouseState() const { return mouseState; }

    std::string getDisplayText() const override { return title; }
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;

private:
    int32_t mouseState = 0;
};
