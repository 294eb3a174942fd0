#include "convert/uFormats.h"

#include "convert/uConvertOv2.h"

void RegisterBuiltInFormats() { RegisterOv2(); }

void UnregisterBuiltInFormats() { UnregisterOv2(); }
