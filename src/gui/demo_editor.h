// The toolkit's showcase: an editor with one of each control, a menu with
// a submenu, a file-selector button and a file drag source. Every change
// is printed as "changed TAG VALUE" so that scripts can follow it.
#pragma once

#include "aeff_gui_editor.h"
#include "cbase_object.h"
#include "icontrol_listener.h"

#include <cstdio>
#include <string>

class COptionMenu;
class CTextLabel;
class CKickButton;

class DemoEditor : public AEffGUIEditor, public IControlListener, public CBaseObject {
public:
    enum Tag {
        kOnOffTag = 16,
        kKickTag = 76,
        kMenuTag = 106,
        kKnobTag = 96,
        kSwitchTag = 129,
        kDisplayTag = 0,
        kTextEditTag = 128,
        kSplashTag = 92,
        kOpenFileTag = 108,
        kDragTag = 152,
    };

    DemoEditor(int scale, FILE* log);
    ~DemoEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    // Rebuilds the views at the other scale when a size entry was chosen.
    void idle() override;
    // Builds the frame without opening a window.
    void buildFrame();

    void valueChanged(CControl* control) override;
    CMessageResult notify(CBaseObject* sender, const char* message) override;

    int getScale() const { return scale; }
    const std::string& getStatus() const;

private:
    int scale;
    int pendingScale;
    FILE* log;
    CTextLabel* status = nullptr;
    bool dragStarted = false;
};
