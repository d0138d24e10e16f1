#pragma once

#include <string>

namespace nxcsp_admin {

class SecretText;

bool standardInputIsTerminal();

// Writes the prompt to standard error and reads one line from the terminal on standard input
// with echo off. Echo comes back however the reading ends, a signal included.
void askOnTerminal(const std::string& prompt, SecretText* answer);

} // namespace nxcsp_admin
