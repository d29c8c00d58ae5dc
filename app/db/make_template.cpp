// make_template - builds the template warehouse New/New.kvb from schema.sql at build time.
//
//   make_template <schema.sql> <output.kvb>
//
// The schema runs on a fresh file beside the output, which then replaces the output in one
// rename, so an interrupted build never leaves half a template. The result is opened again
// the way the program opens a warehouse, to prove the program will accept it.
#include "platform/db/Sqlite.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_template <schema.sql> <output.kvb>\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path schemaPath = argv[1];
    const fs::path outPath = argv[2];
    std::ifstream in(schemaPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_template: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string schema = text.str();  // UTF-8, straight to SQLite

    std::error_code ec;
    fs::create_directories(outPath.parent_path(), ec);
    const fs::path tmpPath = outPath.string() + ".tmp";
    fs::remove(tmpPath, ec);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(tmpPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "make_template: cannot create %s: %s\n", tmpPath.c_str(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    sqlite::RegisterCollations(db);
    char* err = nullptr;
    // A build step need not survive a power cut: skip the syncs of each statement.
    const std::string script = "PRAGMA synchronous=OFF;\n" + schema;
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "make_template: %s: %s\n", schemaPath.c_str(), err ? err : "error");
        sqlite3_free(err);
        sqlite3_close(db);
        fs::remove(tmpPath, ec);
        return 1;
    }
    sqlite3_close(db);

    fs::rename(tmpPath, outPath, ec);
    if (ec) {
        std::fprintf(stderr, "make_template: cannot write %s: %s\n", outPath.c_str(), ec.message().c_str());
        return 1;
    }
    try {
        sqlite::Database check;
        check.OpenWarehouse(outPath.string(), /*readOnly=*/true);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_template: the built template is refused: %s\n", e.what());
        fs::remove(outPath, ec);
        return 1;
    }
    return 0;
}
