#pragma once

#include "convert/uConvertBase.h"

void RegisterCsv();
void UnregisterCsv();
