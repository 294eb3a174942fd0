#include "convert/uConvertCsv.h"

void RegisterCsv() { }
void UnregisterCsv() { }
