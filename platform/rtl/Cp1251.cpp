#include "platform/rtl/Cp1251.h"
