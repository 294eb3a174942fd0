#include "convert/uConvertDat.h"

void RegisterDat() { }
void UnregisterDat() { }
