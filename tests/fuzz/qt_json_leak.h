#pragma once

// Included by the one source of a target that parses JSON: Qt 5.15's JSON parser loses the
// earlier value of a key that comes twice when that value is an object or an array, and nothing
// of ours holds that memory. The sanitizers read these hooks at start; the full unwinding lets
// the suppression see Qt's frames, which have no frame pointers.
extern "C" const char* __lsan_default_suppressions() { return "leak:QJsonDocument::fromJson\n"; }
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
