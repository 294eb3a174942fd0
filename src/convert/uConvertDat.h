#pragma once

#include "convert/uConvertBase.h"

void RegisterDat();
void UnregisterDat();
