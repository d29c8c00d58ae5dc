// MakeDemo.cpp - sklad_demo: makes a demo warehouse from the template and app/db/demo.sql.
//
//   sklad_demo <template New.kvb> <demo.sql> <new warehouse .kvb>
//
// The new file is a copy of the template with the demo rows added in one transaction. An
// existing target is left alone (exit 0: the demo is made once). On any failure the half
// made file is removed and the reason printed; exit 1. Arguments are UTF-8 paths, as the
// shell gives them.
#include "platform/db/Sqlite.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: sklad_demo <template.kvb> <demo.sql> <target.kvb>\n");
        return 2;
    }
    const AnsiString templ = PathFromSystem(argv[1]);
    const AnsiString target = PathFromSystem(argv[3]);
    if (FileExists(target))
        return 0;
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "sklad_demo: cannot read %s\n", argv[2]);
        return 1;
    }
    std::ostringstream sql;
    sql << in.rdbuf();
    if (!CopyFile(templ, target, true)) {
        std::fprintf(stderr, "sklad_demo: cannot copy %s to %s\n", argv[1], argv[3]);
        return 1;
    }
    try {
        sqlite::Database db;
        db.OpenWarehouse(target, false);
        db.Exec("BEGIN IMMEDIATE");
        db.Exec(Utf8ToAnsi(sql.str()));
        db.Exec("COMMIT");
    } catch (const std::exception& e) {
        DeleteFile(target);
        std::fprintf(stderr, "sklad_demo: %s\n", AnsiToUtf8(e.what()).c_str());
        return 1;
    }
    return 0;
}
