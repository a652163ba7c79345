#include "app/firewall_view.h"

#include <shellapi.h>

#include <vector>

#include "app/messages.h"
#include "app/status_layout.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "base/program_path.h"
#include "net/firewall.h"
#include "net/host.h"
#include "net/network_category.h"
#include "resources/resource.h"

static HANDLE RunSelfElevated(const wchar_t* arguments)
{
    const std::wstring path = ProgramPath();
    if (path.empty()) return nullptr;
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof run;
    // No error box: a user who cancels the elevation has said no already.
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.hwnd = statusWindow.window;
    run.lpVerb = L"runas";
    run.lpFile = path.c_str();
    run.lpParameters = arguments;
    run.nShow = SW_HIDE;
    return ShellExecuteExW(&run) ? run.hProcess : nullptr;
}

HANDLE (*runElevated)(const wchar_t* arguments) = RunSelfElevated;

// The elevated copy while it runs, and the thread pool's wait for its end; the UI thread owns both.
static HANDLE elevated = nullptr;
static HANDLE elevatedWait = nullptr;

void ShowFirewall()
{
    GUID publicNetwork = {};
    // On a public network the public-network hint says why, and what to do.
    const FirewallVerdict verdict =
        defaultRouteNetworkIsPublic(publicNetwork) ? FirewallVerdict::Unknown : readFirewall();
    if (verdict != FirewallVerdict::Blocked && verdict != FirewallVerdict::BlockedByPolicy) {
        ShowFirewallLine(false, false);
        return;
    }
    const std::wstring text = Text(verdict == FirewallVerdict::Blocked ? IDS_FIREWALL_BLOCKED : IDS_FIREWALL_POLICY);
    SetDlgItemTextW(statusWindow.window, IDC_FIREWALL_NOTE, text.c_str());
    ShowFirewallLine(true, verdict == FirewallVerdict::Blocked);  // the organization's rules: no mend here
    static std::vector<GUID> told;
    GUID network = {};
    (void)DefaultRouteAdapter(network);  // no default route: all such networks count as one
    ShowBalloonOncePerNetwork(told, network, text.c_str());
}

// Called on a thread of the pool when the elevated copy ends.
static VOID CALLBACK OnElevatedEnded(PVOID window, BOOLEAN)
{
    PostMessageW(static_cast<HWND>(window), WM_FIREWALL_MENDED, 0, 0);
}

INT_PTR OnAllowPhonesClicked()
{
    if (elevated) return TRUE;  // the copy already asked for is still at work
    elevated = runElevated(L"-allowfirewall");
    if (!elevated) return TRUE;
    if (!RegisterWaitForSingleObject(&elevatedWait, elevated, OnElevatedEnded, statusWindow.window, INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        // Nobody will say when it ends: read the firewall again when the window next opens.
        CloseHandle(elevated);
        elevated = nullptr;
    }
    return TRUE;
}

INT_PTR OnFirewallMended()
{
    if (!elevated) return FALSE;
    (void)UnregisterWaitEx(elevatedWait, INVALID_HANDLE_VALUE);  // the callback has run already
    CloseHandle(elevated);
    elevated = nullptr;
    elevatedWait = nullptr;
    ShowFirewall();
    return FALSE;
}
