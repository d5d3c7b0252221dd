// A button that opens a pop-up menu drawn inside the frame. Entries may be
// separators ("-" or addSeparator), titles (not selectable), checked, or
// submenus (another COptionMenu, owned by this one). Choosing an entry
// records the menu it was chosen in and its index (getLastItemMenu), sets
// that menu's current index and value, and tells the root's listener.
#pragma once

#include "cparam_display.h"

#include <string>
#include <vector>

struct CMenuItem {
    enum Flags { kNoFlags = 0, kDisabled = 1, kChecked = 2, kSeparator = 4, kTitle = 8 };
    std::string title;
    int32_t flags = kNoFlags;
    class COptionMenu* submenu = nullptr;
    bool isSeparator() const { return flags & kSeparator; }
    bool isChecked() const { return flags & kChecked; }
    bool isSelectable() const { return !(flags & (kSeparator | kTitle | kDisabled)) || submenu; }
};

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                CBitmap* background = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    void addEntry(const std::string& title, int32_t flags = CMenuItem::kNoFlags);
    // Takes over the caller's reference to submenu.
    void addEntry(COptionMenu* submenu, const std::string& title);
    void addSeparator();
    bool removeEntry(int32_t index);
    void removeAllEntry();
    int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    CMenuItem* getEntry(int32_t index);
    COptionMenu* getSubMenu(int32_t index);
    bool checkEntry(int32_t index, bool state);
    bool isCheckEntry(int32_t index) const;
    bool setEntryTitle(int32_t index, const std::string& title);

    int32_t getCurrentIndex() const { return currentIndex; }
    bool setCurrent(int32_t index);
    // The menu (this one or a submenu) and index of the last choice.
    COptionMenu* getLastItemMenu(int32_t& index) const;

    void draw(CDrawContext* context) override;
    std::string getDisplayText() const override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;

    // Opens the pop-up below the button (frame needed); false without one.
    bool popup();
    // The size of the pop-up's fonts and rows: 1 at 100 %, 2 at 200 %.
    void setPopupScale(double scale) { popupScale = scale; }
    double getPopupScale() const { return popupScale; }
    bool isPopupOpen() const { return popupOpen; }
    // Called by the pop-up when the user chose (menu, index) or cancelled.
    void popupResult(COptionMenu* menu, int32_t index);

private:
    std::vector<CMenuItem> entries;
    int32_t currentIndex = -1;
    COptionMenu* lastMenu = nullptr;
    int32_t lastResult = -1;
    bool popupOpen = false;
    double popupScale = 1;
};
