#pragma once
// A small command language that prepares a register's state: a day's receipts, an open shift
// close to 24 hours, paper out. Every line runs through the register's own commands.
#include <string>

#include "emulator/Register.h"

namespace NorvexEmu {

// Runs the script text (one command a line, '#' starts a comment). Stops at the first failing
// line and describes it in error.
bool runScript(Register& reg, const std::string& text, std::string* error = nullptr);

} // namespace NorvexEmu
