#pragma once
// The value lists of the designers, the new-database dialog and the console, written
// with their first entries into a data file that lacks them, and the remembered
// database folder.
class CAppDataFile;

// Creates each missing list with its entries (an existing list is left as it is), makes
// the database-folder node when missing and copies its first value into g_strDbFolder.
// Needs only the store, so it runs before the main frame is complete.
void FillKeywordLists(CAppDataFile& store);
