// The service registration against the stand-in library, in the test's process.
#include <fstream>
#include <sstream>
#include <string>

#include "advertise/advertise.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

class AdvertiseTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // The program loads the library only from the system folder, where Bonjour puts it.
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        // Once loaded by an earlier test it stays loaded, and in use it cannot be replaced.
        const std::wstring installed = std::wstring(system) + L"\\dnssd.dll";
        if (GetFileAttributesW(installed.c_str()) == INVALID_FILE_ATTRIBUTES) {
            ASSERT_TRUE(CopyInto(ProgramDirectory() + L"\\standin\\dnssd.dll", system));
        }
        recordPath = FreshDirectory(L"advertise") + L"\\record.txt";
        SetEnvironmentVariableW(L"PALVENOR_STANDIN_RECORD", recordPath.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"PALVENOR_STANDIN_RECORD", nullptr);
        SetEnvironmentVariableW(L"PALVENOR_STANDIN_RESULT", nullptr);
        AppTest::TearDown();
    }
    std::string Record()
    {
        std::ifstream file(recordPath.c_str());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    std::wstring recordPath;
};

TEST_F(AdvertiseTest, RegistersTheServiceWithExactlyTheProtocolsParameters)
{
    EXPECT_EQ(AdvertiseService(), 0);
    EXPECT_EQ(Record(),
              "call\n"
              "service=null\n"
              "flags=0\ninterface=0\n"
              "name=\"\"\ntype=\"_Pavrel._tcp\"\ndomain=\"\"\nhost=\"\"\n"
              "port-bytes=0f ba\n"  // 4026 in network byte order
              "txt-length=0\ntxt=null\n"
              "callback=null\ncontext=null\n");
    EXPECT_TRUE(TrayCallsSoFar().empty()) << "no balloon after a successful registration";
    EXPECT_FALSE(Visible());
}

TEST_F(AdvertiseTest, RefusalShowsTheBalloonAndTheWindow)
{
    SetEnvironmentVariableW(L"PALVENOR_STANDIN_RESULT", L"-65537");
    EXPECT_EQ(AdvertiseService(), -65537);
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_MODIFY));
    EXPECT_EQ(calls[0].record.hIcon, notConnectedRecord.hIcon);
    const std::wstring text = calls[0].record.szInfo;
    EXPECT_EQ(text,
              L"Palvenor Server is unable to access Apple's Bonjour software.\n\nTo use Palvenor, you must enable "
              L"Bonjour, OR enter the IP address of this computer in the Palvenor app.");
    EXPECT_EQ(text.size(), 166u);
    EXPECT_TRUE(Visible());
}

TEST_F(AdvertiseTest, DisconnectBeforeAnyMonitorEndedCarriesTheFailureTextAgain)
{
    SetEnvironmentVariableW(L"PALVENOR_STANDIN_RESULT", L"-65537");
    ASSERT_NE(AdvertiseService(), 0);
    connectionState.connected = true;  // as if a phone were connected, its monitor still running
    EXPECT_EQ(Proc(WM_COMMAND, IDM_DISCONNECT), 0);
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].record.hIcon, notConnectedRecord.hIcon);
    EXPECT_EQ(std::wstring(calls[1].record.szInfo), std::wstring(calls[0].record.szInfo));
    EXPECT_EQ(std::wstring(calls[1].record.szInfo).rfind(L"Palvenor Server is unable", 0), 0u);
    EXPECT_FALSE(connectionState.connected);
}

}  // namespace
