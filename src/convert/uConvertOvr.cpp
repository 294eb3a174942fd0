#include "convert/uConvertOvr.h"

void RegisterOvr() { }
void UnregisterOvr() { }
