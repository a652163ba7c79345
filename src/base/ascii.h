// Comparing the program's own words without regard to case: options, and the "Any" the firewall
// may write for ports. Only 'A'-'Z' fold; file names compare as Windows compares them.
#pragma once

inline wchar_t FoldAsciiCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }
