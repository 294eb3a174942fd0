#include "convert/uConvertCfg.h"

void RegisterCfg() { }
void UnregisterCfg() { }
