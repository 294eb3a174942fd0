#include "convert/uConvertDat.h"

#include <gtest/gtest.h>
