#include "convert/uConvertMio.h"

#include <gtest/gtest.h>
