#pragma once
// What a new database takes over from an existing one: the stored statements of its
// schema objects and the values of its PRAGMA settings, read on a connection of the
// caller's (for a structure copy, the source opened read-only).
#include <string>
#include <vector>

class CADbSqlDb;

// The stored statement of every schema object that is not the engine's own, in the
// engine's order, without the shadow tables of virtual tables (the copied CREATE
// VIRTUAL TABLE makes them anew) and without objects that have none (automatic
// indexes). Throws on failure.
std::vector<std::wstring> ReadStructureStatements(CADbSqlDb& db);
// "PRAGMA name;" on the connection: the second value of each row (the first when a row
// has one), joined with ","; "" when no row came or the setting cannot be read.
std::wstring ReadPragmaValue(CADbSqlDb& db, const std::wstring& name);
