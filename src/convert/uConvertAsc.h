#pragma once

#include "convert/uConvertBase.h"

void RegisterAsc();
void UnregisterAsc();
