#pragma once

#include <QString>

// The fixed caption of ShowMessage's boxes, for the questions the program asks in the same
// skinned box.
QString ProgramCaption();
