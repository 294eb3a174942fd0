#pragma once

#include "convert/uConvertBase.h"

void RegisterItn();
void UnregisterItn();
