#pragma once

#include "core/uUtils.h"

// Writers that date their files leave the date out while it lives, under the dev switch, so
// that their bytes hold on any day.
class TUndated {
public:
    TUndated() { SetDevSwitch(true); }
    ~TUndated() { SetDevSwitch(false); }
    TUndated(const TUndated&) = delete;
    TUndated& operator=(const TUndated&) = delete;
};
