// QtText.h - the one place where program text meets QString.
//
// Inside the program text is CP1251 bytes; Qt wants UTF-16. Every string that
// crosses into a widget goes through ToQString, every string typed by the user
// comes back through FromQString. Both use the run-time library's CP1251 table,
// so the edge agrees with the rest of the program byte for byte; a character
// the code page cannot hold comes back as '?'.
#pragma once

#include "platform/rtl/System.h"

#include <QString>

QString ToQString(const AnsiString& ansi);
AnsiString FromQString(const QString& text);
