// ShellFixture.h - the program started headless on a fresh warehouse, driven like a user.
//
// The warehouse is a copy of the template in a temporary folder, which is also the program's
// directory (SKLAD_HOME), so "sklad.ini" lives there too. Start() runs the program's own
// start-up (classes, the twelve windows in order); the test driver answers the dialogs.
#pragma once

#include "app/db/testing/WarehouseFixture.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

#include <memory>

// A product of a group with a quantity and a price; the other fields keep their defaults.
TProductSeed Product(const AnsiString& name, const AnsiString& group, double quantity, double price = 0);

// The demo warehouse (the template with the demo rows, password "1234") made in `dir`.
AnsiString MakeDemoWarehouse(const AnsiString& dir);

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes "LastFile" of "sklad.ini" (empty: no file at all).
    void Remember(const AnsiString& path);
    AnsiString IniText() const;  // "" when there is no file
    // Creates the windows; false when the program asked to exit (ExitCode()).
    bool Start();
    // Start() with the warehouse remembered and a password set, then the main window shown.
    void StartOnWarehouse();
    // Shows the main window (FormShow, FormActivate) as Application->Run does.
    void ShowMain();

    std::unique_ptr<TWarehouseFixture> w;
    std::unique_ptr<TTestDriver> d;
};
