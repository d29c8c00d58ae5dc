// WarehouseFuzz.h - what the warehouse fuzzer does with one input, shared with the corpus replay
// test: the bytes become a .kvb file, the layer opens it as the program would and reads every
// table. The only acceptable outcomes are a clean EDbError or a successful read.
#pragma once

#include "platform/db/ADODB.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

inline int FuzzWarehouseFile(const uint8_t* data, size_t size)
{
    char path[] = "/tmp/sklad_fuzz_XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return 0;
    ::close(fd);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        TADOConnection c(nullptr);
        c.SetBusyTimeout(0);
        c.SetConnectionString("Data Source=" + Utf8ToAnsi(path) + ";Mode=Read");
        c.Open();
        TADOQuery q(nullptr);
        q.SetConnection(&c);
        for (const AnsiString& table : sqlite::WarehouseTables()) {
            q.OpenSql("Select * From " + table);
            for (q.First(); !q.Eof(); q.Next())
                for (int i = 0; i < q.FieldCount(); ++i)
                    (void)q.Fields()[i]->DisplayText();
        }
    } catch (const EDbError&) {
        // refused cleanly
    }
    std::remove(path);
    std::remove((std::string(path) + "-journal").c_str());
    return 0;
}
