#include "convert/uConvertAsc.h"

#include <gtest/gtest.h>
