#include "platform/printers/PaperTable.h"

#include <cmath>

namespace {

const std::vector<TPaperInfo> kPapers = {
    {1, "", 2159, 2794},  {2, "", 2159, 2794},  {3, "", 2794, 4318},  {4, "", 4318, 2794},  {5, "", 2159, 3556},
    {6, "", 1397, 2159},  {7, "", 1842, 2667},  {8, "", 2970, 4200},  {9, "", 2100, 2970},  {10, "", 2100, 2970},
    {11, "", 1480, 2100}, {12, "", 2500, 3540}, {13, "", 1820, 2570}, {14, "", 2159, 3302}, {15, "", 2150, 2750},
    {16, "", 2540, 3556}, {17, "", 2794, 4318}, {18, "", 2159, 2794}, {19, "", 984, 2254},  {20, "", 1048, 2413},
    {21, "", 1143, 2635}, {22, "", 1207, 2794}, {23, "", 1270, 2921}, {24, "", 4318, 5588}, {25, "", 5588, 8636},
    {26, "", 8636, 11176}, {27, "", 1100, 2200}, {28, "", 1620, 2290}, {29, "", 3240, 4580}, {30, "", 2290, 3240},
    {31, "", 1140, 1620}, {32, "", 1140, 2290}, {33, "", 2500, 3530}, {34, "", 1760, 2500}, {35, "", 1760, 1250},
    {36, "", 1100, 2300}, {37, "", 984, 1905},  {38, "", 920, 1651},  {39, "", 3778, 2794}, {40, "", 2159, 3048},
    {41, "", 2159, 3302}, {42, "", 2500, 3530}, {43, "", 1000, 1480}, {44, "", 2286, 2794}, {45, "", 2540, 2794},
    {46, "", 3810, 2794}, {47, "", 2200, 2200}, {50, "", 2355, 3048}, {51, "", 2355, 3810}, {52, "", 2969, 4572},
    {53, "", 2354, 3223}, {54, "", 2101, 2794}, {55, "", 2100, 2970}, {56, "", 2355, 3048}, {57, "", 2270, 3560},
    {58, "", 3050, 4870}, {59, "", 2159, 3223}, {60, "", 2100, 3300}, {61, "", 1480, 2100}, {62, "", 1820, 2570},
    {63, "", 3220, 4450}, {64, "", 1740, 2350}, {65, "", 2010, 2760}, {66, "", 4200, 5940}, {67, "", 2970, 4200},
    {68, "", 3220, 4450},
};

}  // namespace

const std::vector<TPaperInfo>& PaperTable()
{
    return kPapers;
}

const TPaperInfo* FindPaper(int code)
{
    for (const TPaperInfo& p : kPapers)
        if (p.Code == code)
            return &p;
    return nullptr;
}

bool GetPaperDimensions(int code, double& width, double& height)
{
    const TPaperInfo* p = FindPaper(code);
    if (!p)
        return false;
    width = p->Width / 10.0;
    height = p->Height / 10.0;
    return true;
}

int PaperCodeForSize(double width, double height)
{
    auto near = [](double a, int tenths) { return std::fabs(a * 10 - tenths) <= 5; };
    for (const TPaperInfo& p : kPapers)
        if ((near(width, p.Width) && near(height, p.Height)) || (near(width, p.Height) && near(height, p.Width)))
            return p.Code;
    return DMPAPER_USER;
}

AnsiString PaperName(int code)
{
    switch (code) {
    case DMPAPER_LETTER: return "Letter";
    case DMPAPER_LEGAL: return "Legal";
    case DMPAPER_A3: return "A3";
    case DMPAPER_A4: return "A4";
    case DMPAPER_A5: return "A5";
    case DMPAPER_B4: return "B4";
    case DMPAPER_B5: return "B5";
    case DMPAPER_USER: return "User";
    default: return {};
    }
}
