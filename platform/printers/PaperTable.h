// PaperTable.h - the Windows paper codes and their sizes.
//
// 66 rows, codes 1..68 without 48 and 49, sizes in tenths of a millimetre, portrait as
// the platform lists them (a few rows, codes 4, 35, 39 and 46, are wider than tall and
// stay so). Code 256 (DMPAPER_USER) is a size of the user's and has no row. Every row has
// its own name, so a paper list made from the table never shows blank or repeated rows;
// code lists still find papers by code, never by name.
#pragma once

#include "platform/rtl/System.h"

#include <vector>

constexpr int DMPAPER_LETTER = 1, DMPAPER_LEGAL = 5, DMPAPER_A3 = 8, DMPAPER_A4 = 9, DMPAPER_A4SMALL = 10,
              DMPAPER_A5 = 11, DMPAPER_B4 = 12, DMPAPER_B5 = 13, DMPAPER_USER = 256;
constexpr int DMBIN_UPPER = 1, DMBIN_LOWER = 2, DMBIN_MANUAL = 4, DMBIN_AUTO = 7;
constexpr int DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3;

struct TPaperInfo {
    int Code;
    const char* Name;  // unique within the table
    int Width;         // tenths of a millimetre
    int Height;
};

const std::vector<TPaperInfo>& PaperTable();
// The row of a code, or nullptr.
const TPaperInfo* FindPaper(int code);
// Sets width and height (mm, portrait) when the code has a row; otherwise leaves them
// untouched and returns false.
bool GetPaperDimensions(int code, double& width, double& height);
// The paper code whose size is width x height mm (either way round, within half a
// millimetre), or DMPAPER_USER.
int PaperCodeForSize(double width, double height);
// The table's name of a code ("A4", "Letter"...), "User" for DMPAPER_USER, "" without a row.
AnsiString PaperName(int code);
