#include "app/trust_prompt.h"

#include <winsock2.h>

#include "app/messages.h"
#include "app/texts.h"
#include "app/window.h"
#include "base/ui_thread.h"
#include "pc/host.h"
#include "resources/resource.h"

static HWND prompt = nullptr;
static uint32_t askedNumber = 0;
static DeviceAnswer tellAnswer = nullptr;
static uint32_t askedAddress = 0;
// False for the first second: no click or key press already on its way answers the question,
// whether or not the system delivers it to a disabled button.
static bool ready = false;

HWND DevicePrompt() { return prompt; }

void CloseDevicePrompt()
{
    if (prompt) DestroyWindow(prompt);
    prompt = nullptr;
}

// The question closes first and the answer is carried out in its own turn, so that allowing shows
// the new phone at once.
static void Answer(DeviceAnswer tell, uint32_t number, bool allowed)
{
    (void)RunOnUiThread([tell, number, allowed] { tell(number, allowed); });
}

static INT_PTR Decide(bool allowed)
{
    CloseDevicePrompt();
    Answer(tellAnswer, askedNumber, allowed);
    return TRUE;
}

static INT_PTR OnPromptTimer(HWND window, WPARAM timer)
{
    if (timer == PROMPT_LAPSE_TIMER_ID) return Decide(false);
    if (timer != PROMPT_READY_TIMER_ID) return FALSE;
    KillTimer(window, PROMPT_READY_TIMER_ID);
    ready = true;
    EnableWindow(GetDlgItem(window, IDC_ALLOW), TRUE);
    EnableWindow(GetDlgItem(window, IDC_DONT_ALLOW), TRUE);
    return TRUE;
}

// The user's own answer; nothing answers before the prompt is ready.
static INT_PTR Answered(bool allowed) { return ready ? Decide(allowed) : TRUE; }

// Only the buttons answer; Enter and Escape (IDOK, IDCANCEL) do nothing.
static INT_PTR OnPromptCommand(WPARAM command)
{
    switch (command) {
    case IDC_ALLOW: return Answered(true);
    case IDC_DONT_ALLOW: return Answered(false);
    default: return TRUE;
    }
}

static INT_PTR CALLBACK PromptProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return FALSE;  // no control takes the focus
    case WM_TIMER: return OnPromptTimer(window, wParam);
    case WM_COMMAND: return OnPromptCommand(wParam);
    case WM_CLOSE: return Answered(false);
    default: return FALSE;
    }
}

// Shown on top but not activated: the keys the user is typing elsewhere stay there, and none of
// them reaches a button. The flashing taskbar button draws the eye; once the user clicks the
// prompt or switches to it, it works as any dialog.
static void ShowWithoutTakingTheKeyboard(HWND window)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = window;
    flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
    (void)FlashWindowEx(&flash);  // returns the state before, not success
}

void ShowDeviceName(uint32_t number, const std::wstring& name)
{
    if (!prompt || number != askedNumber) return;
    const std::wstring dotted = FormatAddress(askedAddress);
    const DWORD_PTR inserts[] = {DWORD_PTR(name.c_str()), DWORD_PTR(dotted.c_str())};
    wchar_t* text = nullptr;
    // The name is the network's text: it goes in as an insert, never as a format.
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                        LoadText(IDS_PROMPT_TEXT_NAMED).c_str(), 0, 0, reinterpret_cast<wchar_t*>(&text), 0,
                        reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts))))
        return;
    SetDlgItemTextW(prompt, IDC_PROMPT_TEXT, text);
    LocalFree(text);
}

void OpenDevicePrompt(uint32_t address, uint32_t number, DeviceAnswer answer)
{
    HWND window = CreateDialogParamW(statusWindow.instance, MAKEINTRESOURCEW(IDD_TRUST_PROMPT), nullptr, PromptProc, 0);
    if (!window) {
        Answer(answer, number, false);  // nobody can be asked: not allowed
        return;
    }
    prompt = window;
    askedNumber = number;
    tellAnswer = answer;
    askedAddress = address;
    ready = false;
    wchar_t text[512] = {};
    wsprintfW(text, LoadText(IDS_PROMPT_TEXT).c_str(), FormatAddress(address).c_str());
    SetDlgItemTextW(window, IDC_PROMPT_TEXT, text);
    SetTimer(window, PROMPT_READY_TIMER_ID, PROMPT_READY_MS, nullptr);
    SetTimer(window, PROMPT_LAPSE_TIMER_ID, PROMPT_LAPSE_MS, nullptr);
    ShowWithoutTakingTheKeyboard(window);
}
