// The status window's message table, through which every part of the program is reached.
#pragma once
#include <windows.h>

INT_PTR CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
