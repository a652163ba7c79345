// The service registration against the stand-in libraries, in the test's process: Bonjour's from
// the system folder, and Windows' own DNS-SD service in the stand-in dnsapi.dll.
#include <winsock2.h>
#include <windows.h>
#include <windns.h>

#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>

#include "advertise/advertise.h"
#include "base/dns_service_client.h"
#include "app/advertisement_view.h"
#include "app/connection_view.h"
#include "app/messages.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "app/window.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

// The program's own declarations of Windows' DNS-SD interface match the SDK's layouts.
static_assert(sizeof(DnsServiceInstance) == sizeof(DNS_SERVICE_INSTANCE), "instance");
static_assert(offsetof(DnsServiceInstance, interfaceIndex) == offsetof(DNS_SERVICE_INSTANCE, dwInterfaceIndex),
              "instance");
static_assert(sizeof(DnsServiceRegisterRequest) == sizeof(DNS_SERVICE_REGISTER_REQUEST), "request");
static_assert(offsetof(DnsServiceRegisterRequest, unicastEnabled) ==
                  offsetof(DNS_SERVICE_REGISTER_REQUEST, unicastEnabled),
              "request");

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
        (void)CopyInto(ProgramDirectory() + L"\\standin\\dnssd.dll", system);
        ASSERT_NE(GetFileAttributesW((std::wstring(system) + L"\\dnssd.dll").c_str()), INVALID_FILE_ATTRIBUTES);
        recordPath = FreshDirectory(L"advertise") + L"\\record.txt";
        SetEnvironmentVariableW(L"PALVENOR_STANDIN_RECORD", recordPath.c_str());
    }
    void TearDown() override
    {
        AppTest::TearDown();  // the program's end withdraws the registration
        for (const wchar_t* name : {L"PALVENOR_STANDIN_RECORD", L"PALVENOR_STANDIN_RESULT", L"PALVENOR_DNSAPI_ANSWER_MS",
                                    L"PALVENOR_DNSAPI_DEREGISTER_MS"})
            SetEnvironmentVariableW(name, nullptr);
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

std::string ComputerName()
{
    char name[256] = {};
    DWORD length = sizeof name;
    GetComputerNameExA(ComputerNameDnsHostname, name, &length);
    return name;
}

Advertisement Advertise()
{
    const std::string name = ComputerName();
    return AdvertiseService(ShowAdvertisement, std::wstring(name.begin(), name.end()).c_str());
}

TEST_F(AdvertiseTest, BonjourRegistersWithTheProtocolsParametersAndWindowsServiceIsNotAsked)
{
    EXPECT_EQ(Advertise(), Advertisement::Registered);
    EXPECT_EQ(Record(),
              "call\n"
              "service=null\n"
              "flags=0\ninterface=0\n"
              "name=\"\"\ntype=\"_Pavrel._tcp\"\ndomain=\"\"\nhost=\"\"\n"
              "port-bytes=0f ba\n"  // 4026 in network byte order
              "txt-length=0\ntxt=null\n"
              "callback=null\ncontext=null\n");
    EXPECT_TRUE(TrayCallsSoFar().empty()) << "no balloon after a successful registration";
    WithdrawAdvertisement();
    WithdrawAdvertisement();
    EXPECT_EQ(Record().substr(Record().find("context=null\n") + 13), "deallocate=filled\n") << "withdrawn once";
}

TEST_F(AdvertiseTest, RefusingBonjourFallsBackToWindowsOwnServiceWhichIsWithdrawnOnceAndWaitedFor)
{
    SetEnvironmentVariableW(L"PALVENOR_STANDIN_RESULT", L"-65537");
    SetEnvironmentVariableW(L"PALVENOR_DNSAPI_DEREGISTER_MS", L"300");
    EXPECT_EQ(Advertise(), Advertisement::Pending);
    const std::string name = ComputerName();
    const std::string request = "register\nversion=1\ninterface=0\ninstance=" + name +
                                "._Pavrel._tcp.local\nhost=" + name +
                                ".local\nport=4026\nproperties=1\ntxtvers=1\ncallback=set\nunicast=0\ncancel=set\n";
    ASSERT_NE(Record().find("call\n"), std::string::npos) << "Bonjour was not asked first";
    EXPECT_EQ(Record().substr(Record().find("register\n")), request);
    // The answer comes from another thread, through the window.
    EXPECT_TRUE(WaitUntil([] { return WindowText(StatusValueLabel(StatusValue::Advertisement)) == L"Registered"; }, 3000));
    EXPECT_FALSE(Visible());
    WithdrawAdvertisement();
    WithdrawAdvertisement();
    EXPECT_EQ(Record().substr(Record().find("register\n")),
              request + "deregister\ninstance=" + name + "._Pavrel._tcp.local\nderegistered\n");
}

TEST_F(AdvertiseTest, ARegistrationStillUnansweredAtTheEndIsCancelled)
{
    SetEnvironmentVariableW(L"PALVENOR_STANDIN_RESULT", L"-65537");
    SetEnvironmentVariableW(L"PALVENOR_DNSAPI_ANSWER_MS", L"3000");
    EXPECT_EQ(Advertise(), Advertisement::Pending);
    WithdrawAdvertisement();
    const std::string record = Record();
    EXPECT_EQ(record.substr(record.size() - 11), "cancel=set\n");
    EXPECT_EQ(record.find("deregister"), std::string::npos);
}

// The balloon says what just happened; the icon keeps showing the phone connected, and what comes
// later says nothing of the advertisement again.
TEST_F(AdvertiseTest, AFailedOutcomeShowsTheBalloonAndTheWindowAndLeavesTheIconAlone)
{
    ShowPhoneChange(PhoneChange{PhoneChange::Connected, INADDR_LOOPBACK, 1});
    ClearTrayCalls();
    ShowAdvertisement(false);  // the service's later "timed out"
    EXPECT_EQ(Label(StatusValue::Advertisement), L"Failed");
    EXPECT_TRUE(Visible());
    EXPECT_EQ(BalloonsSoFar(), std::vector<std::wstring>{
                                   L"Palvenor Server is unable to access Apple's Bonjour software.\n\nTo use Palvenor, you "
                                   L"must enable Bonjour, OR enter the IP address of this computer in the Palvenor app."});
    EXPECT_TRUE(TrayShowsConnected());
    ClearTrayCalls();
    ShowPhoneChange(PhoneChange{PhoneChange::Disconnected});  // as the user's Disconnect shows it
    EXPECT_TRUE(BalloonsSoFar().empty());
    EXPECT_FALSE(TrayShowsConnected());
}

// Last: the failure it ends with is told once for the whole program.
// A withdrawal that completes after the second it is waited for, or a cancelled registration that
// completes late, says nothing of the registration that follows it: the label shows that
// registration's own outcome.
TEST_F(AdvertiseTest, ALateWithdrawalIsNotTakenForTheNextRegistrationsOutcome)
{
    SetEnvironmentVariableW(L"PALVENOR_STANDIN_RESULT", L"-65537");
    ASSERT_EQ(Advertise(), Advertisement::Pending);
    ASSERT_TRUE(WaitUntil([] { return WindowText(StatusValueLabel(StatusValue::Advertisement)) == L"Registered"; }, 3000));
    SetEnvironmentVariableW(L"PALVENOR_DNSAPI_DEREGISTER_MS", L"1500");
    SetEnvironmentVariableW(L"PALVENOR_DNSAPI_ANSWER_MS", L"2500");
    SetEnvironmentVariableW(L"PALVENOR_DNSAPI_STATUS", L"1460");
    WithdrawAdvertisement();
    ASSERT_EQ(Advertise(), Advertisement::Pending);
    EXPECT_TRUE(WaitUntil([] { return WindowText(StatusValueLabel(StatusValue::Advertisement)) == L"Failed"; }, 5000));
    SetEnvironmentVariableW(L"PALVENOR_DNSAPI_STATUS", nullptr);
}

}  // namespace
