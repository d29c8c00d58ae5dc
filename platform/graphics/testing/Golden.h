// Golden.h - comparing output with golden files kept beside the tests.
//
// ExpectGolden("shapes", text) compares `text` (CP1251) with golden/shapes.txt (UTF-8 on
// disk, relative to the test program's own tests folder, SKLAD_TESTS_DIR, which the build
// gives every test program: the program finds its files from whatever folder it is run in;
// without it, relative to the working directory). On a mismatch it fails the test and
// writes the actual text as golden/shapes.FAILED.txt for a reviewer to diff or promote;
// a match removes an old .FAILED.txt. With SKLAD_UPDATE_GOLDEN=1 in the environment a
// missing or different golden file is (re)written and the test passes.
#pragma once

#include "platform/rtl/System.h"

#include <string>

#ifndef SKLAD_TESTS_DIR
#define SKLAD_TESTS_DIR ""
#endif

// Folder relative to Base (when Base is not empty and Folder not absolute).
void ExpectGoldenIn(const std::string& base, const std::string& caseName, const AnsiString& actual,
                    const std::string& folder);

inline void ExpectGolden(const std::string& caseName, const AnsiString& actual, const std::string& folder = "golden")
{
    ExpectGoldenIn(SKLAD_TESTS_DIR, caseName, actual, folder);
}
