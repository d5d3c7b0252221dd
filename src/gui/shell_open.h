// Hands a folder, a document or a web address to the desktop's opener
// (xdg-open), as a double click in a file browser would. The opener runs
// as a child process that the idle calls reap; the caller never waits.
// ZANDREL_OPEN_COMMAND names another opener (tests, unusual desktops).
#pragma once

#include <string>

// False when no opener could be started; what the opener makes of the
// target is not reported back.
bool openWithShell(const std::string& target);
