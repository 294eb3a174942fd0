#include "convert/uConvertOvr.h"

#include <gtest/gtest.h>
