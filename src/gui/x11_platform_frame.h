// The frame's window on X11: a child of the host's window, drawn through
// cairo-xlib, with its events translated into the frame's. All X work runs
// in processEvents, which the frame calls from the host's idle.
#pragma once

#include "platform_frame.h"

#include <memory>

class CFrame;

// Null when no X display can be opened.
std::unique_ptr<IPlatformFrame> createX11PlatformFrame(CFrame* frame, void* parentWindow);
