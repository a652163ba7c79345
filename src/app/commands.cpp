#include "app/commands.h"

#include <string>

#include "app/connection_view.h"
#include "app/phone_status.h"
#include "app/status_layout.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "autostart/shortcut.h"
#include "base/wire.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "net/trust_store.h"
#include "resources/resource.h"

INT_PTR OnSettingsCommand()
{
    ShowStatusWindow();
    return FALSE;
}

void ShowStatusWindowFromStart()
{
    ShowTrayHintLine(true);
    ShowStatusWindow();
}

INT_PTR OnShowRequest()
{
    ShowStatusWindowFromStart();
    return TRUE;
}

INT_PTR OnDisconnectCommand()
{
    ShowPhoneChange(Disconnect());  // the phone may have gone while the menu was open
    return FALSE;
}

INT_PTR OnPauseCommand()
{
    PauseInput(!InputPaused());
    ShowPhonePaused(InputPaused());
    return FALSE;
}

// Every device is asked again, the one connected now too: it goes at once.
INT_PTR OnForgetCommand()
{
    ShowPhoneChange(ForgetEveryDevice());
    return FALSE;
}

// The system's words for an error, without the line break it ends them with.
static std::wstring SystemMessage(HRESULT error)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) {
        wchar_t code[16];
        wsprintfW(code, L"0x%08X", unsigned(error));
        message = code;
    }
    return message;
}

INT_PTR OnAutostartClicked(HWND window)
{
    // An automatic check box has already toggled itself when it reports the click.
    const bool wanted = SendDlgItemMessageW(window, IDC_AUTOSTART, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    HRESULT result = S_OK;
    if (wanted)
        result = CreateStartupShortcut();
    else if (!DeleteStartupShortcut())
        result = HRESULT_FROM_WIN32(GetLastError());
    const bool exists = StartupShortcutExists() != FALSE;
    CheckDlgButton(window, IDC_AUTOSTART, exists ? BST_CHECKED : BST_UNCHECKED);
    if (exists == wanted) return TRUE;  // a shortcut already gone is no failure
    wchar_t text[1024];  // wsprintfW writes at most this many
    wsprintfW(text, LoadText(wanted ? IDS_SHORTCUT_NOT_CREATED : IDS_SHORTCUT_NOT_DELETED).c_str(),
              SystemMessage(FAILED(result) ? result : E_FAIL).c_str());
    MessageBoxW(window, text, MESSAGE_CAPTION, MB_ICONWARNING);
    return TRUE;
}
