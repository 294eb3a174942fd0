#include "convert/uConvertItn.h"

void RegisterItn() { }
void UnregisterItn() { }
