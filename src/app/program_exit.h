#pragma once

#include <functional>

// Ends the program with exit code 0 once every worker thread has ended (see common/workers.h).
// Tests install their own ending to see that it happened.
void EndProgram();
void SetProgramEnding(std::function<void()> ending);  // nullptr restores the real one
// True once the program was ended: an end asked for before the main event loop runs (in a
// dialog at the start) only ended the loops of that moment, and the main loop is not to start.
bool ProgramEndAsked();

// From here on a logout or a shutdown (SIGTERM, SIGHUP) and Ctrl+C (SIGINT) end the program
// as its exit does: the workers stop, the database is closed and the event loops end, so
// that the next start does not take the end for a crash. Installed once; later calls do
// nothing.
void EndProgramOnSignals();
