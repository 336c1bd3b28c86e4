#pragma once

#include <QString>

// The database file in the program directory.
QString DatabasePath();

// Opens the books on the shared connection unless it is open - data.db, or the database server
// the settings name; tells the user when it fails, and why when the server cannot be reached,
// and leaves the connection closed, so that the next data operation tries again.
void OpenDatabase();

// The program title from dqmc of [setup]; an empty one becomes the default title and is
// written back. Stores it as the session's title and returns it.
QString LoadAppTitle();
