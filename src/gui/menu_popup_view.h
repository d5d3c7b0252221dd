// The open pop-up of an option menu: a column of entries per open level,
// each submenu opening to the right of its entry when the pointer rests on
// it. Shown as the frame's modal view; Escape or a click outside closes it.
// The arrow keys move through the entries and open or close submenus;
// Return chooses.
#pragma once

#include "cview.h"

#include <vector>

class COptionMenu;

class MenuPopupView : public CView {
public:
    // anchor: the frame rectangle of the button that opened the menu.
    MenuPopupView(const CRect& frameSize, COptionMenu* root, const CRect& anchor);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;

    static constexpr CCoord kEntryHeight = 18;
    static constexpr CCoord kSeparatorHeight = 7;

    // The frame rectangle of entry index in open level level (for tests).
    CRect entryRect(size_t level, int32_t index) const;
    size_t getLevelCount() const { return levels.size(); }

private:
    struct Level {
        COptionMenu* menu;
        CRect box;
        int32_t hovered = -1;
    };
    void openLevel(COptionMenu* menu, CPoint topLeft);
    bool hitTest(const CPoint& where, size_t& level, int32_t& index) const;
    void close(COptionMenu* chosenMenu, int32_t index);

    COptionMenu* root;
    std::vector<Level> levels;
    bool closing = false;
};
