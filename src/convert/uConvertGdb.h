#pragma once

#include "convert/uConvertBase.h"

void RegisterGdb();
void UnregisterGdb();
