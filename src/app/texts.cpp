#include "app/texts.h"

#include "app/window.h"

std::wstring LoadText(UINT id)
{
    // With no buffer, the call gives the resource's own text, which is not terminated.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(statusWindow.instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, size_t(length)) : std::wstring();
}
