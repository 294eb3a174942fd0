#pragma once

#include "convert/uConvertBase.h"

void RegisterMio();
void UnregisterMio();
