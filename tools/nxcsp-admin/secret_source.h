#pragma once

#include <string>

namespace nxcsp_admin {

struct Arguments;
class SecretText;

// One PIN or password a command needs, and the options that may give it.
struct SecretQuestion
{
    std::string prompt;      // "PIN of the key (empty: none): "
    std::string fileOption;  // "--pin-file": a file, or "-" for standard input
    std::string valueOption; // "--pin": the secret itself, kept for scripts; empty when there is none
    bool confirm = false;    // a new secret: asked twice on the terminal
};

// The secret from the value option (with a warning that other processes see it), from the first
// line of the file option's file (the next line of standard input for "-"), or, when standard
// input is a terminal, typed there without echo. False when none of them gives it.
bool readSecret(const Arguments& arguments, const SecretQuestion& question, SecretText* secret);

} // namespace nxcsp_admin
