// Build tool: makes a fresh application data file from its schema script.
// Usage: tabulon_makeappdata SCHEMA.sql OUTPUT
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tabulon_makeappdata SCHEMA.sql OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream script;
    script << in.rdbuf();

    const std::filesystem::path out(argv[2]);
    std::filesystem::create_directories(out.parent_path());
    // Build beside the target and rename, so an interrupted build never leaves a half-made file.
    const std::filesystem::path tmp = out.string() + ".tmp";
    std::filesystem::remove(tmp);

    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::cerr << "cannot create " << tmp << ": " << sqlite3_errmsg(db) << "\n";
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::cerr << "schema failed: " << (error ? error : "") << "\n";
        sqlite3_free(error);
        sqlite3_close(db);
        std::filesystem::remove(tmp);
        return 1;
    }
    sqlite3_close(db);
    std::filesystem::rename(tmp, out);
    return 0;
}
