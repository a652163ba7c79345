// What the status window and the tray say of Windows' firewall, and the link that mends it, with
// the firewall and the elevated copy behind seams: Wine's firewall reports no rules.
#include <windows.h>

#include <string>
#include <vector>

#include "app/firewall_view.h"
#include "app/messages.h"
#include "app/startup.h"
#include "app/window.h"
#include "pc/firewall.h"
#include "pc/network_category.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

FirewallVerdict verdict = FirewallVerdict::Unknown;
bool onPublicNetwork = false;
int reads = 0;
FirewallVerdict StandInFirewall()
{
    ++reads;
    return verdict;
}
bool StandInNetworkIsPublic(GUID& network)
{
    network = GUID{1, 0, 0, {0}};
    return onPublicNetwork;
}

class FirewallViewTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        savedFirewall = readFirewall;
        savedCategory = phonesNetworkIsPublic;
        readFirewall = StandInFirewall;
        phonesNetworkIsPublic = StandInNetworkIsPublic;
        verdict = FirewallVerdict::Unknown;
        onPublicNetwork = false;
    }
    void TearDown() override
    {
        readFirewall = savedFirewall;
        phonesNetworkIsPublic = savedCategory;
        AppTest::TearDown();
    }
    FirewallVerdict (*savedFirewall)() = nullptr;
    bool (*savedCategory)(GUID&) = nullptr;
    HWND Item(int id) { return GetDlgItem(statusWindow.window, id); }
    // Shown as far as the control itself goes: the status window around it may be hidden.
    bool Shown(int id) { return (GetWindowLongPtrW(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    LONG WindowHeight()
    {
        RECT frame;
        GetWindowRect(statusWindow.window, &frame);
        return frame.bottom - frame.top;
    }
};

TEST_F(FirewallViewTest, TheLineShowsWhatKeepsPhonesOutAndTheTrayTellsOncePerNetwork)
{
    const LONG plain = WindowHeight();
    const std::wstring blocked = L"Windows Firewall blocks phones from reaching this PC.",
                       policy = L"Your organization's firewall policy blocks phones from reaching this PC.";
    const struct {
        const char* name;
        FirewallVerdict verdict;
        bool isPublic;
        std::wstring line;  // empty: no line
        bool link;
        std::vector<std::wstring> balloons;
    } cases[] = {
        {"open", FirewallVerdict::Open, false, L"", false, {}},
        {"blocked", FirewallVerdict::Blocked, false, blocked, true, {blocked}},
        {"still blocked: no second balloon", FirewallVerdict::Blocked, false, blocked, true, {}},
        {"the organization's policy", FirewallVerdict::BlockedByPolicy, false, policy, false, {}},
        {"rules beyond the mend: no link", FirewallVerdict::BlockedForGood, false, blocked, false, {}},
        {"all inbound blocked", FirewallVerdict::BlockingAll, false,
         L"Windows Firewall is set to block all incoming connections on this network.", false, {}},
        {"on a public network the public hint stands", FirewallVerdict::Blocked, true, L"", false, {}},
        {"unreadable", FirewallVerdict::Unknown, false, L"", false, {}},
        {"open again", FirewallVerdict::Open, false, L"", false, {}},
    };
    for (const auto& c : cases) {
        verdict = c.verdict;
        onPublicNetwork = c.isPublic;
        ClearTrayCalls();
        ShowFirewall();
        const bool shown = !c.line.empty();
        EXPECT_EQ(Shown(IDC_FIREWALL_NOTE), shown) << c.name;
        if (shown) {
            EXPECT_EQ(WindowText(Item(IDC_FIREWALL_NOTE)), c.line) << c.name;
        }
        EXPECT_EQ(Shown(IDC_FIREWALL_LINK), c.link) << c.name;
        EXPECT_EQ(WindowHeight() > plain, shown) << c.name << ": the line's room";
        EXPECT_EQ(BalloonsSoFar(), c.balloons) << c.name;
    }
    EXPECT_EQ(WindowHeight(), plain);
}

// The elevated copy runs on a thread of its own while the window keeps answering; its outcome is
// told: done (the firewall read again), failed (said in the line), declined (nothing changes).
TEST_F(FirewallViewTest, TheLinkRunsTheProgramElevatedOnceAndTellsItsOutcome)
{
    static std::vector<std::wstring> runs;
    static HANDLE finish = nullptr;
    static DWORD exitCode = 0;
    finish = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    runElevated = [](HWND, const wchar_t* arguments) -> DWORD {
        runs.push_back(arguments);
        WaitForSingleObject(finish, 5000);  // stands for the consent prompt and the elevated copy
        return exitCode;
    };
    const struct {
        const char* name;
        DWORD exitCode;
        FirewallVerdict after;
        bool read;
        std::wstring line;  // empty: no line
    } cases[] = {
        {"mended", 0, FirewallVerdict::Open, true, L""},
        {"failed", 1, FirewallVerdict::Open, false,
         L"Windows Firewall could not be changed, so it still blocks phones from reaching this PC."},
        {"declined", ERROR_CANCELLED, FirewallVerdict::Open, false,
         L"Windows Firewall blocks phones from reaching this PC."},
    };
    for (const auto& c : cases) {
        runs.clear();
        exitCode = c.exitCode;
        verdict = FirewallVerdict::Blocked;
        ShowFirewall();
        Proc(WM_COMMAND, IDC_FIREWALL_LINK);
        Proc(WM_COMMAND, IDC_FIREWALL_LINK);  // while the first copy is at work
        EXPECT_TRUE(WaitUntil([] { return !runs.empty(); }, 3000)) << c.name;
        EXPECT_EQ(SendMessageTimeoutW(statusWindow.window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, nullptr), 1)
            << c.name << ": the window answers while the copy runs";
        verdict = c.after;
        reads = 0;
        SetEvent(finish);
        EXPECT_EQ(WaitUntil([] { return reads > 0; }, c.read ? 3000 : 300), c.read) << c.name;
        PumpMessagesFor(200);
        EXPECT_EQ(runs, std::vector<std::wstring>{L"-allowfirewall"}) << c.name;
        EXPECT_EQ(Shown(IDC_FIREWALL_NOTE), !c.line.empty()) << c.name;
        if (!c.line.empty()) {
            EXPECT_EQ(WindowText(Item(IDC_FIREWALL_NOTE)), c.line) << c.name;
        }
    }
    CloseHandle(finish);
}

TEST(AllowFirewallOptionTest, TheElevatedCopyMendsTheFirewallAndEndsWithItsOutcome)
{
    static bool mended = false;
    for (bool works : {true, false}) {
        mended = works;
        allowPhonesThroughFirewall = [] { return mended; };
        wchar_t program[] = L"PalvenorServer.exe", option[] = L"-allowfirewall";
        wchar_t* arguments[] = {program, option};
        const CommandLineOutcome outcome = ExamineOptions(2, arguments);
        EXPECT_TRUE(outcome.endNow);
        EXPECT_EQ(outcome.exitCode, works ? 0 : 1);
    }
}

}  // namespace
