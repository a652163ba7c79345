#include "app/startup.h"

#include <winsock2.h>

#include "advertise/advertise.h"
#include "app/advertisement_view.h"
#include "app/link_label.h"
#include "app/messages.h"
#include "app/options.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "autostart/shortcut.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "resources/resource.h"

int(WINAPI* startNetwork)(WORD, LPWSADATA) = WSAStartup;

void SendQuitRequest()
{
    HWND running = FindWindowW(nullptr, STATUS_WINDOW_TITLE);
    if (running) PostMessageW(running, WM_QUIT_REQUEST, 0, 0);
}

CommandLineOutcome ExamineOptions(int count, wchar_t** arguments)
{
    CommandLineOutcome outcome = {false, false};
    wchar_t buffer[ARGUMENT_BUFFER_LENGTH];
    for (int i = 1; i < count; ++i) {
        CopyArgument(buffer, arguments[i]);  // a longer argument is cut to fit
        if (OptionMatches(buffer, L"-autostart")) (void)CreateStartupShortcut();
        if (OptionMatches(buffer, L"-showui")) outcome.showAtStart = true;
        if (OptionMatches(buffer, L"-noautostart")) {
            (void)DeleteStartupShortcut();
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
    }
    return outcome;
}

// While Windows' DNS-SD service has not answered yet the label reads "Registered": it takes
// almost every request, and a failure it reports later replaces the label and tells the user.
static void FillLabels(Advertisement advertisement)
{
    CollectLocalAddresses();
    WriteAddressLabel(statusWindow.localAddressLabel, localAddresses[0].sin_addr);
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Not connected");
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    ShowAdvertisement(advertisement != Advertisement::Failed);
}

static int RunMessageLoop()
{
    MSG message;
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) return int(message.wParam);
        if (result == -1) return -1;
        if (IsDialogMessageW(statusWindow.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int RunServer(HINSTANCE instance, bool showAtStart)
{
    statusWindow.instance = instance;

    // The name is a marker between copies: never waited on or closed, it goes with the process.
    (void)CreateSemaphoreW(nullptr, 0, 1, L"PavrelServer");
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    statusWindow.window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_STATUS), nullptr, StatusWindowProc, 0);
    if (!statusWindow.window) return 1;

    PrepareTrayRecords();
    AddTrayIcon();

    WSADATA network;
    if (startNetwork(MAKEWORD(2, 1), &network) != 0) {
        MessageBoxW(statusWindow.window, L"Failed to initialize Winsock\nPalvenor Server cannot continue!",
                    L"Quorvane Palvenor Server", MB_ICONERROR);
        RemoveTrayIcon();  // no icon is left behind for a server that is not running
        return 1;  // a server that cannot start has not succeeded
    }

    const Advertisement advertisement = AdvertiseService(statusWindow.window);
    FetchLabelHandles();
    WriteComputerName();
    connectionState.listenSocket = CreateListener(statusWindow.window);
    connectionState.connected = false;
    // Without the port no phone's input can arrive; the connection still shows, as it always has.
    (void)StartInputReceiver();
    FillLabels(advertisement);
    if (StartupShortcutExists()) PostMessageW(GetDlgItem(statusWindow.window, IDC_AUTOSTART), BM_SETCHECK, BST_CHECKED, 0);
    MakeLinkLabel(GetDlgItem(statusWindow.window, IDC_SUPPORT_LINK));
    if (showAtStart) ShowWindow(statusWindow.window, SW_SHOW);
    return RunMessageLoop();
}
