// The engine as the editor sees it. The editor uses only its public
// parameter interface (setParameter, setParameterFromEditor, getParameter,
// getParameterDisplay), the engine record (engine()) for the fields it
// shows and the three pattern fields it writes directly, and the preset
// and file services. Naming the type in one place lets the effect class
// behind it change without touching the editor.
#pragma once

#include "zand_dsp.h"

using EditorEngine = ZandDSP;
