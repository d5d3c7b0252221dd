#include "coption_menu.h"

#include "cbitmap.h"
#include "cframe.h"
#include "menu_popup_view.h"

COptionMenu::COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bg,
                         int32_t style)
    : CParamDisplay(size, bg, style) {
    setListener(listener);
    setTag(tag);
    backColor = CColor{30, 32, 38, 255};
    frameColor = CColor{110, 116, 130, 255};
}

COptionMenu::~COptionMenu() {
    removeAllEntry();
}

void COptionMenu::addEntry(const std::string& title, int32_t flags) {
    if (title == "-") return addSeparator();
    entries.push_back(CMenuItem{title, flags, nullptr});
}

void COptionMenu::addEntry(COptionMenu* submenu, const std::string& title) {
    entries.push_back(CMenuItem{title, CMenuItem::kNoFlags, submenu});
}

void COptionMenu::addSeparator() {
    entries.push_back(CMenuItem{"", CMenuItem::kSeparator, nullptr});
}

bool COptionMenu::removeEntry(int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    if (entries[index].submenu) entries[index].submenu->forget();
    entries.erase(entries.begin() + index);
    if (currentIndex >= getNbEntries()) currentIndex = getNbEntries() - 1;
    return true;
}

void COptionMenu::removeAllEntry() {
    for (CMenuItem& e : entries)
        if (e.submenu) e.submenu->forget();
    entries.clear();
    currentIndex = -1;
    lastMenu = nullptr;
    lastResult = -1;
}

CMenuItem* COptionMenu::getEntry(int32_t index) {
    return index >= 0 && index < getNbEntries() ? &entries[index] : nullptr;
}

COptionMenu* COptionMenu::getSubMenu(int32_t index) {
    CMenuItem* e = getEntry(index);
    return e ? e->submenu : nullptr;
}

bool COptionMenu::checkEntry(int32_t index, bool state) {
    CMenuItem* e = getEntry(index);
    if (!e || e->isSeparator()) return false;
    e->flags = state ? (e->flags | CMenuItem::kChecked) : (e->flags & ~CMenuItem::kChecked);
    return true;
}

bool COptionMenu::isCheckEntry(int32_t index) const {
    return index >= 0 && index < getNbEntries() && entries[index].isChecked();
}

bool COptionMenu::setEntryTitle(int32_t index, const std::string& title) {
    CMenuItem* e = getEntry(index);
    if (!e) return false;
    e->title = title;
    setDirty();
    return true;
}

bool COptionMenu::setCurrent(int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    currentIndex = index;
    value = static_cast<float>(index);
    setDirty();
    return true;
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& index) const {
    index = lastResult;
    return lastMenu;
}

std::string COptionMenu::getDisplayText() const {
    if (currentIndex >= 0 && currentIndex < getNbEntries()) return entries[currentIndex].title;
    return {};
}

void COptionMenu::draw(CDrawContext* context) {
    if (background) {
        // A menu button drawn from a bitmap shows its pressed half while open.
        CCoord off =
            popupOpen && background->getHeight() >= 2 * size.getHeight() ? size.getHeight() : 0;
        context->drawBitmap(background, size, CPoint(0, off));
    } else {
        CParamDisplay::draw(context);
    }
    setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const int32_t& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::popup() {
    if (!frame || popupOpen || entries.empty()) return false;
    CRect bounds;
    CPoint origin;
    frame->getPopupSpace(bounds, origin);
    CRect anchor = localToFrame(size);
    anchor.offset(origin.x, origin.y);
    if (!frame->openPopup(new MenuPopupView(bounds, this, anchor, popupScale))) return false;
    popupOpen = true;
    beginEdit();
    setDirty();
    return true;
}

void COptionMenu::popupResult(COptionMenu* menu, int32_t index) {
    popupOpen = false;
    setDirty();
    if (menu && index >= 0) {
        lastMenu = menu;
        lastResult = index;
        menu->currentIndex = index;
        menu->value = static_cast<float>(index);
        if (menu != this) menu->setDirty();
        valueChanged();
    }
    endEdit();
}
