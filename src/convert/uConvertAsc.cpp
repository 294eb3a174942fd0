#include "convert/uConvertAsc.h"

void RegisterAsc() { }
void UnregisterAsc() { }
