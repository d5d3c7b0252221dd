// What a control tells its owner: a changed value, the start and end of a
// gesture (for the host's automation recording), and a request to drag
// something out of the window.
#pragma once

#include "geometry.h"

class CControl;

class IControlListener {
public:
    virtual ~IControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
    // The pointer left the window during a drag that started on control:
    // the owner prepares what is dragged (a file) and starts the drag with
    // the frame's doDrag. where is in frame coordinates.
    virtual void dragOutRequested(CControl* /*control*/, const CPoint& /*where*/) {}
};
