#pragma once

struct sqlite3;

// Registers Year, Month, Day, DateSerial, DateDiff, Now and Date on a connection, working on
// stored date texts and the program's clock, and InitialsMatch for the name searches.
void RegisterJetFunctions(sqlite3* db);
