#include "convert/uConvertCfg.h"

#include <gtest/gtest.h>
