// What the control-skin tests share: the manager's test environment and a 32-bit picture to paint
// into and read pixels from.
#pragma once

#include "tests/skin/windows/manager/skin_test_env.h"
#include "tests/support/dib.h"
