#include "convert/uConvertGdb.h"

#include <gtest/gtest.h>
