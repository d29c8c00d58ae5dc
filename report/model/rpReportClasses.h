// rpReportClasses.h - start-up and shutdown of the report classes.
//
// rpInitReportClasses (after the script engine's start-up) registers every creatable
// report class by name, so templates and form resources can make them, enters the
// dot-matrix objects in the object registry and registers the classes in the global
// script unit. rpDoneReportClasses undoes it, before the script engine's shutdown.
// Both are safe to call more than once.
//
// It also fills the design-time registries (rpDsgnIntf.h): the standard property editors.
#pragma once

#include "report/model/rpDsgnIntf.h"

void rpInitReportClasses();
void rpDoneReportClasses();

