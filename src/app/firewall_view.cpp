#include "app/firewall_view.h"

#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "app/status_layout.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "base/owned.h"
#include "base/program_path.h"
#include "base/ui_thread.h"
#include "pc/firewall.h"
#include "pc/host.h"
#include "pc/network_category.h"
#include "resources/resource.h"

static DWORD RunSelfElevated(HWND owner, const wchar_t* arguments)
{
    const std::wstring path = ProgramPath();
    if (path.empty()) return ERROR_FILE_NOT_FOUND;
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof run;
    // No error box: a user who cancels the elevation has said no already.
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    run.hwnd = owner;
    run.lpVerb = L"runas";
    run.lpFile = path.c_str();
    run.lpParameters = arguments;
    run.nShow = SW_HIDE;
    if (!ShellExecuteExW(&run)) return GetLastError() == ERROR_CANCELLED ? ERROR_CANCELLED : GetLastError();
    const OwnedHandle process(run.hProcess);
    if (!process) return ERROR_INVALID_HANDLE;
    DWORD exitCode = ERROR_INVALID_FUNCTION;
    (void)WaitForSingleObject(process.get(), INFINITE);
    if (!GetExitCodeProcess(process.get(), &exitCode)) exitCode = GetLastError();
    return exitCode;
}

DWORD (*runElevated)(HWND owner, const wchar_t* arguments) = RunSelfElevated;

// What the elevated copy came to, as the worker posts it.
enum MendOutcome { MEND_DONE, MEND_DECLINED, MEND_FAILED };

// Set while the worker runs; the UI thread alone reads and writes it.
static bool mending = false;

static void ShowFirewallText(const std::wstring& text, bool withLink)
{
    SetDlgItemTextW(statusWindow.window, IDC_FIREWALL_NOTE, text.c_str());
    ShowFirewallLine(true, withLink);
}

void ShowFirewall()
{
    GUID publicNetwork = {};
    // On a public network the public-network hint says why, and what to do.
    const FirewallVerdict verdict =
        phonesNetworkIsPublic(publicNetwork) ? FirewallVerdict::Unknown : readFirewall();
    UINT text = 0;
    switch (verdict) {
    case FirewallVerdict::Blocked:
    case FirewallVerdict::BlockedForGood: text = IDS_FIREWALL_BLOCKED; break;
    case FirewallVerdict::BlockingAll: text = IDS_FIREWALL_BLOCKING_ALL; break;
    case FirewallVerdict::BlockedByPolicy: text = IDS_FIREWALL_POLICY; break;
    case FirewallVerdict::Unknown:
    case FirewallVerdict::Open: ShowFirewallLine(false, false); return;
    }
    // The link only where the mend turns the verdict: the organization's rules, a profile that
    // blocks everything and rules of others are beyond it.
    const std::wstring line = LoadText(text);
    ShowFirewallText(line, verdict == FirewallVerdict::Blocked);
    BalloonSubject network = {};
    (void)ShownAddressAdapter(network.network);  // none: all such networks count as one
    ShowBalloonOnce(IDS_FIREWALL_BLOCKED, network, line.c_str());
}

static void OnFirewallMended(MendOutcome outcome)
{
    mending = false;
    switch (outcome) {
    case MEND_DONE: ShowFirewall(); break;
    case MEND_FAILED: ShowFirewallText(LoadText(IDS_FIREWALL_MEND_FAILED), true); break;
    default: break;  // declined: the line stays as it was
    }
}

static DWORD WINAPI RunMend(void* window)
{
    // The shell's elevation wants a single-threaded apartment on the thread that asks.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const DWORD exitCode = runElevated(static_cast<HWND>(window), L"-allowfirewall");
    if (SUCCEEDED(com)) CoUninitialize();
    const MendOutcome outcome = exitCode == 0 ? MEND_DONE : exitCode == ERROR_CANCELLED ? MEND_DECLINED : MEND_FAILED;
    (void)RunOnUiThread([outcome] { OnFirewallMended(outcome); });
    return 0;
}

INT_PTR OnAllowPhonesClicked()
{
    if (mending) return TRUE;  // the copy already asked for is still at work
    // It ends by itself, with its word handed over; its handle is not kept.
    if (!OwnedHandle(CreateThread(nullptr, 0, RunMend, statusWindow.window, 0, nullptr))) {
        ShowFirewallText(LoadText(IDS_FIREWALL_MEND_FAILED), true);
        return TRUE;
    }
    mending = true;
    return TRUE;
}
