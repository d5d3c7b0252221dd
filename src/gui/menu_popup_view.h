// The open pop-up of an option menu: a column of entries per open level,
// each submenu opening beside its entry when the pointer rests on it. The
// frame shows it in windows of its own (or inside itself when headless);
// Escape or a click outside closes it. The arrow keys move through the
// entries and open or close submenus; Return chooses. A column taller
// than the space it may use scrolls: with the wheel, the keys, or by
// resting the pointer on the arrows at its ends. Sizes follow the menu's
// scale, so that a menu of a 200 % window is drawn at 200 %.
#pragma once

#include "cpopup_view.h"
#include "idle_clients.h"

#include <vector>

class COptionMenu;

class MenuPopupView : public CPopupView, private IIdleClient {
public:
    // bounds: the space the pop-up may use; anchor: the rectangle of the
    // button that opened it, in the same coordinates.
    MenuPopupView(const CRect& bounds, COptionMenu* root, const CRect& anchor, double scale = 1);
    ~MenuPopupView() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, float distance, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    std::vector<CRect> popupAreas() const override;
    void cancelPopup() override { close(nullptr, -1); }

    CCoord entryHeight() const { return entryH; }
    // The rectangle of entry index in open level level; scrolled-away
    // entries lie outside the level's box.
    CRect entryRect(size_t level, int32_t index) const;
    size_t getLevelCount() const { return levels.size(); }
    const CRect& levelBox(size_t level) const { return levels[level].box; }
    CCoord getScroll(size_t level) const { return levels[level].scroll; }

private:
    struct Level {
        COptionMenu* menu;
        CRect box;
        int32_t hovered = -1;
        CCoord content = 0; // height of all entries
        CCoord scroll = 0;  // of the entries, 0 = the first at the top
        int scrollStep = 0; // -1 or +1 while the pointer rests on an arrow
        bool scrollable() const { return scrollLimit() > 0; }
        CCoord scrollLimit() const;
        CCoord arrowHeight = 0;
        CCoord pad = 0;
    };
    void openLevel(COptionMenu* menu, const CRect& opener, bool beside);
    CRect entryArea(const Level& level) const;
    CCoord heightOf(int32_t flags) const;
    bool hitTest(const CPoint& where, size_t& level, int32_t& index) const;
    void scrollBy(size_t level, CCoord delta);
    void showEntry(size_t level, int32_t index);
    void close(COptionMenu* chosenMenu, int32_t index);
    void onIdle(IdleClock::time_point now) override;

    COptionMenu* root;
    double scale;
    CCoord entryH;
    CCoord separatorH;
    std::vector<Level> levels;
    IdleClock::time_point nextScroll{};
    bool closing = false;
};
