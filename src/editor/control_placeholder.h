// Holds the place of a control that another part of the editor supplies
// (the value displays, the keyboards, the step sequencer, the pattern
// selector, the preset menus, the text pop-up): a quiet box with the
// control's class name, at the control's rectangle and with its tag and
// value, so that the window's layout is complete.
#pragma once

#include "ccontrol.h"

#include <string>

class ControlPlaceholder : public CControl {
public:
    ControlPlaceholder(const CRect& size, IControlListener* listener, int32_t tag,
                       std::string className, double scale);

    void draw(CDrawContext* context) override;
    const std::string& getClassName() const { return className; }
    // A text the real control would show (a menu title), drawn instead of
    // the class name.
    void setCaption(std::string text);

private:
    std::string className;
    std::string caption;
    double scale;
};
