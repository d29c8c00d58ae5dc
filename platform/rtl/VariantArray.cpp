#include "platform/rtl/Variant.h"
