#pragma once

#include "convert/uConvertBase.h"

void RegisterCfg();
void UnregisterCfg();
