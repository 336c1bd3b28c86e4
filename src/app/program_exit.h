#pragma once

#include <functional>

// Ends the program with exit code 0 once every worker thread has ended (see common/workers.h).
// Tests install their own ending to see that it happened.
void EndProgram();
void SetProgramEnding(std::function<void()> ending);  // nullptr restores the real one
