#include "convert/uConvertItn.h"

#include <gtest/gtest.h>
