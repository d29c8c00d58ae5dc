// AppPaths.h - where the program keeps its files.
//
// AppDir is the program's directory, with its trailing separator: "sklad.ini", the template
// New/New.kvb, the help file and new warehouses live there. The environment variable
// SKLAD_HOME may name another directory, for installs where the program's own is read-only
// and for tests and the run folder of scripts/run.sh.
#pragma once

#include "platform/rtl/System.h"

AnsiString ProgramDir();  // SKLAD_HOME when set, else the directory of the running program

// Fixed names under AppDir.
inline constexpr const char* kIniFileName = "sklad.ini";
inline constexpr const char* kIniSection = "LASTFILE";
inline constexpr const char* kIniKey = "LastFile";
inline constexpr const char* kTemplatePath = "New/New.kvb";
inline constexpr const char* kHelpFileName = "Складhelp.chm";
