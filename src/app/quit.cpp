#include "app/quit.h"

#include <winsock2.h>

#include "advertise/advertise.h"
#include "app/connection_view.h"
#include "app/messages.h"
#include "app/session_watch.h"
#include "app/tray.h"
#include "app/window.h"
#include "base/ui_thread.h"
#include "net/connection.h"
#include "net/receiver.h"

void SendQuitRequest()
{
    HWND running = FindWindowW(nullptr, STATUS_WINDOW_TITLE);
    if (running) PostMessageW(running, WM_QUIT_REQUEST, 0, 0);
}

INT_PTR OnExitCommand()
{
    ShowPhoneChange(Disconnect());
    RemoveTrayIcon();
    DestroyWindow(statusWindow.window);
    return FALSE;
}

INT_PTR OnQuitRequest()
{
    StopServingInput();  // nothing the phone holds pressed outlives the program
    RemoveTrayIcon();
    DestroyWindow(statusWindow.window);
    return TRUE;
}

INT_PTR OnDestroy()
{
    EndUiThreadWork();  // what workers hand over from now on would find the window gone
    StopWatchingSession();
    PostQuitMessage(0);
    return TRUE;
}

void EndTheProgram()
{
    EndInputReceiver();
    WithdrawAdvertisement();
    WSACleanup();
}
