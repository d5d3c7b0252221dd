// The engine as the editor sees it. The editor uses only its public
// parameter interface (setParameter, setParameterFromEditor, getParameter,
// getParameterDisplay), the engine record (engine()) for the fields it
// shows and the three pattern fields it writes directly, and the preset
// and file services. Every plug-in format hosts the same editor over the
// same engine.
#pragma once

#include "zand_engine.h"

using EditorEngine = ZandEngine;
