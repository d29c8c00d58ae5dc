#include "platform/rtl/Math.h"
