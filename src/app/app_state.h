#pragma once
// The program of the windows, until every window takes it from the context it is given.

#include "program/program.h"

namespace orv {

Program& appState();
// Back to a program that has read nothing (tests); the clock stays.
void resetAppState();

}  // namespace orv
