// What the status window and the tray say of Windows' firewall, and the link that mends it, with
// the firewall and the elevated copy behind seams: Wine's firewall reports no rules.
#include <windows.h>

#include <string>
#include <vector>

#include "app/firewall_view.h"
#include "app/messages.h"
#include "app/startup.h"
#include "app/window.h"
#include "net/firewall.h"
#include "net/network_category.h"
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
        savedCategory = defaultRouteNetworkIsPublic;
        readFirewall = StandInFirewall;
        defaultRouteNetworkIsPublic = StandInNetworkIsPublic;
        verdict = FirewallVerdict::Unknown;
        onPublicNetwork = false;
    }
    void TearDown() override
    {
        readFirewall = savedFirewall;
        defaultRouteNetworkIsPublic = savedCategory;
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

TEST_F(FirewallViewTest, TheLinkRunsTheProgramElevatedOnceAndTheFirewallIsReadWhenItEnds)
{
    static std::vector<std::wstring> runs;
    static HANDLE finished = nullptr;
    runs.clear();
    finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    runElevated = [](const wchar_t* arguments) -> HANDLE {
        runs.push_back(arguments);
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), finished, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
        return copy;  // stands for the elevated copy: it ends when the event is set
    };
    verdict = FirewallVerdict::Blocked;
    ShowFirewall();
    Proc(WM_COMMAND, IDC_FIREWALL_LINK);
    Proc(WM_COMMAND, IDC_FIREWALL_LINK);  // while the first copy is at work
    EXPECT_EQ(runs, std::vector<std::wstring>{L"-allowfirewall"});
    verdict = FirewallVerdict::Open;
    reads = 0;
    SetEvent(finished);
    EXPECT_TRUE(WaitUntil([] { return reads > 0; }, 3000)) << "not read again when the copy ended";
    EXPECT_FALSE(Shown(IDC_FIREWALL_NOTE));

    // A cancelled elevation: nothing runs, nothing changes, nothing is said.
    runElevated = [](const wchar_t* arguments) -> HANDLE {
        runs.push_back(arguments);
        return nullptr;
    };
    verdict = FirewallVerdict::Blocked;
    ShowFirewall();
    ClearTrayCalls();
    reads = 0;
    Proc(WM_COMMAND, IDC_FIREWALL_LINK);
    PumpMessagesFor(200);
    EXPECT_EQ(runs.size(), 2u);
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(Shown(IDC_FIREWALL_NOTE));
    EXPECT_TRUE(TrayCallsSoFar().empty());
    CloseHandle(finished);
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
