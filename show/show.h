// Show: frame routine and scene machine (show/frame.cpp), the script (show/script.cpp).
#pragma once

#include <cstdint>

#include "common/globals.h"

void Show_Frame();
void Scene_Run(uint16_t scene); // the scene's routine; called by Show_Frame for scenes 1..26
