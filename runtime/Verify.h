#pragma once

// RT_VERIFY: the runtime's own invariants. Never used for what guest code or
// data can cause; those are runtime checks that log and go on.

#include "host/Verify.h"

#define RT_VERIFY(expression) HOST_VERIFY(expression)
#define RT_VERIFY_MSG(expression, message) HOST_VERIFY_MSG(expression, message)
#define RT_VERIFY_NOT_REACHED() HOST_VERIFY_NOT_REACHED()
