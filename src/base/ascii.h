// Comparing text without regard to case, as the program's own names need: options, and the
// program paths and words ("Any") the firewall reports. Only 'A'-'Z' fold.
#pragma once

inline wchar_t FoldAsciiCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }
