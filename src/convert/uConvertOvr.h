#pragma once

#include "convert/uConvertBase.h"

void RegisterOvr();
void UnregisterOvr();
