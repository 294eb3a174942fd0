#include "convert/uConvertCsv.h"

#include <gtest/gtest.h>
