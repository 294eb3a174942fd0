#include "convert/uConvertGdb.h"

void RegisterGdb() { }
void UnregisterGdb() { }
