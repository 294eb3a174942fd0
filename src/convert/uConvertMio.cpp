#include "convert/uConvertMio.h"

void RegisterMio() { }
void UnregisterMio() { }
