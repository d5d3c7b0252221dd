// The system's file dialog, run as a child process (zenity, else kdialog)
// so that the host's user-interface thread never blocks: the dialog's exit
// is polled at idle and reported to the delegate's notify with
// kSelectEndMessage. A cancelled dialog reports no file. Filters match
// their extension in any letter case.
#pragma once

#include "cbase_object.h"
#include "idle_clients.h"

#include <string>
#include <sys/types.h>
#include <vector>

extern const char* kSelectEndMessage;

class CFileSelector : public CBaseObject, private IIdleClient {
public:
    enum Style { kSelectFile, kSelectSaveFile };

    explicit CFileSelector(Style style);
    ~CFileSelector() override;

    void setTitle(std::string t) { title = std::move(t); }
    // description: the filter's name; extension without the dot ("fxp").
    void addFileExtension(std::string description, std::string extension);
    void setInitialDirectory(std::string dir) { initialDirectory = std::move(dir); }
    void setDefaultSaveName(std::string name) { defaultSaveName = std::move(name); }
    // The X11 window the dialog stays above (0 for none).
    void setParentWindow(unsigned long window) { parentWindow = window; }

    // Starts the dialog; false when none could start (then the delegate is
    // notified at once with no file, and a message goes to stderr).
    bool run(CBaseObject* delegate);
    bool isRunning() const { return child > 0; }
    // Ends a running dialog without telling the delegate (which is going away).
    void abandon();
    int32_t getNumSelectedFiles() const { return static_cast<int32_t>(selected.size()); }
    const char* getSelectedFile(int32_t index) const;

    // The argument list for a dialog program ("zenity" or "kdialog").
    std::vector<std::string> commandLine(const std::string& program) const;
    // Overrides the program search (tests); empty restores it.
    static void setProgramOverride(std::string path);

private:
    void onIdle(IdleClock::time_point now) override;
    void finish();

    Style style;
    std::string title;
    std::string initialDirectory;
    std::string defaultSaveName;
    unsigned long parentWindow = 0;
    std::vector<std::pair<std::string, std::string>> filters;
    std::vector<std::string> selected;
    CBaseObject* delegate = nullptr;
    pid_t child = -1;
    int outputFd = -1;
    std::string output;
};
