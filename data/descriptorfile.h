#pragma once
// A database file that the engine reads and writes through a descriptor the program
// opened, such as a copy that has no name yet. The engine neither names, locks nor
// closes the file: it is for a file nobody else knows of, and its owner closes it.
#include <sqlite3.h>

// Opens a connection on the file behind the descriptor, which must be open for reading
// and writing and stay open until the connection is closed. The engine's result; the
// connection (also on failure) in db, for the caller to close.
int OpenOnDescriptor(int fd, sqlite3** db);
