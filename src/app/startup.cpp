#include "app/startup.h"

#include <winsock2.h>

#include "app/commands.h"
#include "app/firewall_view.h"
#include "app/host_view.h"
#include "app/elevated_window_view.h"
#include "app/link_label.h"
#include "app/messages.h"
#include "app/network_change.h"
#include "app/options.h"
#include "app/quit.h"
#include "app/serving.h"
#include "app/session_watch.h"
#include "app/status_window.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "autostart/installer_choice.h"
#include "autostart/shortcut.h"
#include "base/owned.h"
#include "base/ui_thread.h"
#include "base/wire.h"
#include "net/connection.h"
#include "pc/firewall.h"
#include "pc/host.h"
#include "resources/resource.h"

int(WINAPI* startNetwork)(WORD, LPWSADATA) = WSAStartup;

CommandLineOutcome ExamineOptions(int count, wchar_t** arguments)
{
    CommandLineOutcome outcome = {false, false, false, 0};
    wchar_t buffer[ARGUMENT_BUFFER_LENGTH];
    for (int i = 1; i < count; ++i) {
        CopyArgument(buffer, arguments[i]);  // a longer argument is cut to fit
        if (OptionMatches(buffer, L"-autostart")) {
            (void)CreateStartupShortcut();
            outcome.quiet = true;
        }
        if (OptionMatches(buffer, L"-showui")) outcome.showAtStart = true;
        if (OptionMatches(buffer, L"-noautostart")) {
            (void)DeleteStartupShortcut();
            outcome.quiet = true;
            break;  // nothing after it is examined
        }
        if (OptionMatches(buffer, L"-quit")) {
            SendQuitRequest();
            outcome.endNow = true;
            break;
        }
        if (OptionMatches(buffer, L"-uninstall")) {
            (void)DeleteStartupShortcut();
            SendQuitRequest();
            outcome.endNow = true;
            break;
        }
        // The copy the status window's link runs elevated: it mends the firewall and ends.
        if (OptionMatches(buffer, L"-allowfirewall")) {
            outcome.endNow = true;
            outcome.exitCode = allowPhonesThroughFirewall() ? 0 : 1;
            break;
        }
    }
    return outcome;
}

static int RunMessageLoop()
{
    MSG message;
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) return int(message.wParam);
        if (result == -1) return -1;
        // Each of the program's windows is a modeless dialog: the active one takes its keys.
        const HWND active = GetActiveWindow();
        if (active && IsDialogMessageW(active, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A copy that is ending holds the marker for a moment after its window has gone (it withdraws
// the advertisement, and the process takes its time to end): a copy started then, as the user's
// second try or the installer's restart is, waits for it rather than end unseen. A copy with a
// window is running.
constexpr ULONGLONG ENDING_COPY_WAIT_MS = 5000;

enum class Claim { Ours, AnotherRuns, AnotherEnding, NameHeld };

// The name is a marker between copies: never waited on, it goes with the process that holds it.
static Claim ClaimTheOnlyCopy()
{
    const ULONGLONG giveUpAt = GetTickCount64() + ENDING_COPY_WAIT_MS;
    for (;;) {
        OwnedHandle marker(CreateSemaphoreW(nullptr, 0, 1, INSTANCE_SEMAPHORE_NAME));
        // Another kind of object (a mutex) bearing the name makes the creation fail: whoever
        // holds it poses as a copy, and a second server would only find the port taken.
        if (!marker) return Claim::NameHeld;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            marker.HoldForLife();
            return Claim::Ours;
        }
        marker.Reset();  // this copy's handle must not keep the other's marker alive
        if (FindWindowW(nullptr, STATUS_WINDOW_TITLE)) return Claim::AnotherRuns;
        if (GetTickCount64() >= giveUpAt) return Claim::AnotherEnding;
        Sleep(100);
    }
}

// A second start is the user looking for the program, whose icon may be out of sight: the running
// copy shows its window, in front, which only this copy, started by the user, may let it take.
static void ShowTheRunningCopy()
{
    HWND running = FindWindowW(nullptr, STATUS_WINDOW_TITLE);
    DWORD process = 0;
    if (!running || !GetWindowThreadProcessId(running, &process)) return;
    (void)AllowSetForegroundWindow(process);
    PostMessageW(running, WM_SHOW_REQUEST, 0, 0);
}

// A copy already running shows its window, unless quiet; anything else is said once, as this
// copy ends.
static bool BecomeTheOnlyCopy(bool quiet)
{
    const Claim claim = ClaimTheOnlyCopy();
    if (claim == Claim::Ours) return true;
    if (claim == Claim::AnotherRuns && !quiet) ShowTheRunningCopy();
    if (claim != Claim::AnotherRuns)
        MessageBoxW(nullptr, LoadText(claim == Claim::AnotherEnding ? IDS_STILL_ENDING : IDS_NAME_HELD).c_str(),
                    MESSAGE_CAPTION, MB_ICONWARNING);
    return false;
}

int RunServer(HINSTANCE instance, const CommandLineOutcome& options)
{
    statusWindow.instance = instance;

    if (!BecomeTheOnlyCopy(options.quiet)) return 0;
    // The installer started this copy, or the user did after it: the window shows once for them.
    const bool firstAfterInstall = ApplyInstallersChoice() == InstallersChoice::AppliedFirst;
    if (!StartUiThreadWork()) return 1;

    statusWindow.window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_STATUS), nullptr, StatusWindowProc, 0);
    if (!statusWindow.window) return 1;

    AddTrayIcon();

    WSADATA network;
    if (startNetwork(MAKEWORD(2, 1), &network) != 0) {
        MessageBoxW(statusWindow.window, LoadText(IDS_NETWORK_FAILED).c_str(), MESSAGE_CAPTION, MB_ICONERROR);
        RemoveTrayIcon();  // no icon is left behind for a server that is not running
        return 1;  // a server that cannot start has not succeeded
    }

    deviceIsLocal = IsLocalPeer;
    deviceIsPcItself = IsPcItself;
    if (WatchSession()) StartServing();
    WriteComputerName();  // after the port: once the name shows, phones can connect
    // Where Windows gives no word of changes, the label is still refreshed while it is visible.
    (void)WatchAddressChanges(OnAddressChanged);
    RefreshLocalAddress();
    WarnOfPublicNetwork();
    WatchForeground();
    if (StartupShortcutExists()) PostMessageW(GetDlgItem(statusWindow.window, IDC_AUTOSTART), BM_SETCHECK, BST_CHECKED, 0);
    MakeLinkLabel(GetDlgItem(statusWindow.window, IDC_SUPPORT_LINK));
    MakeLinkLabel(GetDlgItem(statusWindow.window, IDC_FIREWALL_LINK));
    if (options.showAtStart || firstAfterInstall) ShowStatusWindowFromStart();
    // A window shown, here or for a failed advertisement, has read the firewall as it opened.
    if (!IsWindowVisible(statusWindow.window)) ShowFirewall();
    const int exitCode = RunMessageLoop();
    EndTheProgram();
    return exitCode;
}
