#pragma once

// The data behind the text keys of the General (legacy) sort order; IndexKeys.cpp reads it once.

namespace jet::textkeys {

struct CodeRange {
    char16_t first, last;
    const char* codes; // space-separated tokens, one per character from first to last
};
extern const CodeRange ranges[];
extern const int rangeCount;

} // namespace jet::textkeys
