// The tray records as the shell receives them.
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/link_label.h"
#include "app/messages.h"
#include "app/network_change.h"
#include "app/phone_status.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "app/window.h"
#include "net/connection.h"
#include "pc/network_category.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/net_fixture.h"
#include "support/win_test_support.h"

namespace {

using TrayTest = AppTest;

constexpr wchar_t TIP[] = L"Quorvane Palvenor Server for Windows - ";

// A restarted Explorer, and a move to a monitor of another scale, get the icon again as it is,
// loaded at the size the notification area asks for, with no balloon.
TEST_F(TrayTest, ANewNotificationAreaGetsTheIconAgainWithItsCurrentLook)
{
    ShowPhoneLink(PhoneLink::Connected, 0x7F000001);
    ShowBalloon(L"iPod/iPhone connected");
    ClearTrayCalls();
    Send(RegisterWindowMessageW(L"TaskbarCreated"));
    Send(WM_DPICHANGED, MAKEWPARAM(192, 192));
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_ADD));
    EXPECT_EQ(calls[1].message, DWORD(NIM_SETVERSION));
    EXPECT_EQ(calls[1].record.uVersion, UINT(NOTIFYICON_VERSION_4));
    EXPECT_EQ(calls[2].message, DWORD(NIM_MODIFY));
    for (const auto& call : {calls[0], calls[2]}) {
        EXPECT_EQ(std::wstring(call.record.szTip), std::wstring(TIP) + L"CONNECTED");
        EXPECT_EQ(call.record.uFlags & NIF_INFO, 0u) << "the balloon came again";
        EXPECT_EQ(call.record.uID, TRAY_ICON_ID);  // the id its callbacks carry
    }
    ICONINFO info;  // the icon of the last call: each load at a new scale destroys the one before
    ASSERT_TRUE(GetIconInfo(calls[2].record.hIcon, &info));
    BITMAP colour;
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// Whatever the order of events, the tip says the connection's state (and a pause), and each
// balloon comes once, with exactly the words it was given.
TEST_F(TrayTest, TheTipAlwaysShowsTheStateAndABalloonOnlyWhatJustHappened)
{
    const std::wstring longText(400, L'x');
    const struct {
        const char* step;
        std::function<void()> act;
        const wchar_t* tip;
        std::vector<std::wstring> balloons;
    } steps[] = {
        {"a balloon", [] { ShowBalloon(L"Port 4026 is in use"); }, L"NOT CONNECTED", {L"Port 4026 is in use"}},
        {"the port is free", [] { ShowPhoneLink(PhoneLink::NotConnected); }, L"NOT CONNECTED", {}},
        {"connected", [] { ShowPhoneLink(PhoneLink::Connected, 0x7F000001); }, L"CONNECTED", {}},
        {"a failure while connected", [] { ShowBalloon(L"failed"); }, L"CONNECTED", {L"failed"}},
        {"paused", [] { ShowPhonePaused(true); }, L"INPUT PAUSED", {}},
        {"left while paused", [] { ShowPhoneLink(PhoneLink::NotConnected); }, L"INPUT PAUSED", {}},
        {"resumed", [] { ShowPhonePaused(false); }, L"NOT CONNECTED", {}},
        {"a long balloon", [&] { ShowBalloon(longText.c_str()); }, L"NOT CONNECTED", {longText.substr(0, 255)}},
    };
    for (const auto& step : steps) {
        ClearTrayCalls();
        step.act();
        EXPECT_EQ(LastTrayTip(), std::wstring(TIP) + step.tip) << step.step;
        EXPECT_EQ(BalloonsSoFar(), step.balloons) << step.step;
    }
    ShowPhonePaused(false);
}

// The network the stand-in says Windows treats as public; none while its first word is zero.
GUID publicNetwork = {};
bool StandInNetworkIsPublic(GUID& network)
{
    network = publicNetwork;
    return publicNetwork.Data1 != 0;
}

std::vector<std::wstring> openedPages;
void RecordOpenedPage(const wchar_t* address) { openedPages.push_back(address); }

QUERY_USER_NOTIFICATION_STATE notificationState = QUNS_ACCEPTS_NOTIFICATIONS;
HRESULT WINAPI StandInNotificationState(QUERY_USER_NOTIFICATION_STATE* state)
{
    *state = notificationState;
    return S_OK;
}

// None is shown in the user's quiet time, when Windows would dismiss it; one the user could not see
// (away, busy, a full-screen program or a presentation) or the shell refused is told again.
TEST_F(TrayTest, APublicNetworkIsToldOnceEachOnceSettledAndTheBalloonOpensNetworkSettings)
{
    const auto savedCategory = phonesNetworkIsPublic;
    const auto savedOpen = openWebPage;
    const auto savedState = queryNotificationState;
    phonesNetworkIsPublic = StandInNetworkIsPublic;
    openWebPage = RecordOpenedPage;
    queryNotificationState = StandInNotificationState;
    const wchar_t warning[] = L"Windows treats this network as public, so phones cannot reach this PC. To use "
                              L"Palvenor here, make it a private network in Windows Settings.";
    const auto A = QUNS_ACCEPTS_NOTIFICATIONS;
    const struct {
        unsigned long network;  // 0: private
        QUERY_USER_NOTIFICATION_STATE state;
        bool shellRefuses;
        bool told;
    } changes[] = {{0, A, false, false}, {1, A, false, true}, {1, A, false, false}, {2, A, false, true},
                   {0, A, false, false}, {1, A, false, false}, {3, QUNS_QUIET_TIME, false, false}, {3, A, false, true},
                   {4, QUNS_BUSY, false, true}, {4, A, false, true}, {5, QUNS_NOT_PRESENT, false, true},
                   {5, A, false, true}, {6, QUNS_RUNNING_D3D_FULL_SCREEN, false, true}, {6, A, false, true},
                   {7, QUNS_PRESENTATION_MODE, false, true}, {7, A, false, true}, {8, A, true, true},
                   {8, A, false, true}, {8, A, false, false}};
    for (const auto& change : changes) {
        publicNetwork = GUID{change.network, 0, 0, {0}};
        notificationState = change.state;
        shellRefusesTrayCalls = change.shellRefuses;
        ClearTrayCalls();
        OnAddressChanged();
        // Right after a change Windows calls a network still being identified public: the
        // category is read once the changes have settled.
        EXPECT_TRUE(BalloonsSoFar().empty()) << "network " << change.network << " before it settled";
        Proc(WM_TIMER, NETWORK_SETTLED_TIMER_ID);
        EXPECT_EQ(BalloonsSoFar(), change.told ? std::vector<std::wstring>{warning} : std::vector<std::wstring>{})
            << "network " << change.network;
    }
    Proc(WM_TRAY_CALLBACK, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, TRAY_ICON_ID));
    ShowBalloon(L"iPod/iPhone connected");
    Proc(WM_TRAY_CALLBACK, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, TRAY_ICON_ID));  // another balloon's click opens nothing
    EXPECT_EQ(openedPages, std::vector<std::wstring>{L"ms-settings:network-status"});
    publicNetwork = GUID{};
    phonesNetworkIsPublic = savedCategory;
    openWebPage = savedOpen;
    queryNotificationState = savedState;
}

// Opens the tray menu as the right button's release, Shift+F10 or the menu key on the icon does,
// reads the state of "Disconnect" and the default item while it is open, and closes it as the user
// would with Escape.
UINT DisconnectStateInTheOpenMenu(UINT* defaultItem = nullptr)
{
    std::atomic<UINT> state{0xFFFFFFFFu};
    std::atomic<UINT> bold{0xFFFFFFFFu};
    std::thread user([&] {
        for (int i = 0; i < 100 && state == 0xFFFFFFFFu; ++i) {
            // Popup menus are windows of class #32768; an earlier one may linger hidden.
            for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
                 menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
                if (!IsWindowVisible(menu)) continue;
                HMENU shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                if (!shown) continue;
                bold = GetMenuDefaultItem(shown, FALSE, 0);
                state = GetMenuState(shown, IDM_DISCONNECT, MF_BYCOMMAND);
            }
            Sleep(50);
        }
        keybd_event(VK_ESCAPE, 0, 0, 0);
        keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    });
    StatusWindowProc(statusWindow.window, WM_TRAY_CALLBACK, MAKEWPARAM(40, 40), MAKELPARAM(WM_CONTEXTMENU, TRAY_ICON_ID));
    user.join();
    PumpMessagesFor(300);  // the Escape's release, so that it does not close the next menu
    if (defaultItem) *defaultItem = bold;
    return state;
}

using TrayMenuTest = NetTest;

TEST_F(TrayMenuTest, DisconnectIsGrayedUnlessAPhoneIsConnectedAndSettingsIsTheDefault)
{
    UINT defaultItem = 0;
    const UINT notConnected = DisconnectStateInTheOpenMenu(&defaultItem);
    ASSERT_NE(notConnected, 0xFFFFFFFFu) << "the menu did not open";
    EXPECT_TRUE(notConnected & MF_GRAYED);
    EXPECT_EQ(defaultItem, UINT(IDM_SETTINGS));
    SOCKET phone = Connect();
    const UINT connected = DisconnectStateInTheOpenMenu();
    closesocket(phone);
    ASSERT_NE(connected, 0xFFFFFFFFu) << "the menu did not open";
    EXPECT_FALSE(connected & MF_GRAYED);
    EXPECT_TRUE(IsWindow(statusWindow.window));
}

}  // namespace
