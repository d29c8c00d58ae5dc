// rpModel.h - start-up of the report object model, called from main and test fixtures.
//
// Registers the model's creatable classes by name (so templates and form resources can
// make them) and fills the resource texts. Safe to call more than once. The report,
// page, band and view classes are registered by their own start-up, after this one.
#pragma once

void rpInitModel();
