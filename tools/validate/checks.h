// The checks, one function each; check_list.cpp names them and sets their
// order.
#pragma once

#include "check.h"

namespace validate {

void loadUnloadCheck(CheckContext& c);
void unloadWithoutCloseCheck(CheckContext& c);
void instancesOnThreadsCheck(CheckContext& c);
void infoCheck(CheckContext& c);
void processingCheck(CheckContext& c);
void zeroFrameCheck(CheckContext& c);
void automationCheck(CheckContext& c);
void parameterCheck(CheckContext& c);
void stateCheck(CheckContext& c);
void quietCheck(CheckContext& c);
void editorCheck(CheckContext& c);
void localeCheck(CheckContext& c);
void timingCheck(CheckContext& c);

} // namespace validate
