#include "app/trust_view.h"

#include <winsock2.h>

#include <memory>
#include <string>
#include <vector>

#include "app/connection_view.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "app/trusted_window.h"
#include "app/window.h"
#include "net/connection.h"
#include "resources/resource.h"

// The names found for the devices asked about lately, newest last.
struct FoundName {
    uint32_t address;  // network order
    std::wstring name;
};
static std::vector<FoundName> found;
constexpr size_t MOST_FOUND_NAMES = 16;

static std::wstring FoundNameOf(uint32_t address)
{
    for (auto name = found.rbegin(); name != found.rend(); ++name)
        if (name->address == address) return name->name;
    return L"";
}

INT_PTR OnDeviceNamed(WPARAM address, LPARAM name)
{
    const std::unique_ptr<std::wstring> owned(reinterpret_cast<std::wstring*>(name));
    found.push_back({uint32_t(address), *owned});
    if (found.size() > MOST_FOUND_NAMES) found.erase(found.begin());
    ShowDeviceName(uint32_t(address), *owned);
    // A device allowed before its name came gets it now.
    in_addr device = {};
    device.s_addr = uint32_t(address);
    NoteLookedUpName(device, *owned);
    RefreshTrustedPhones();
    return TRUE;
}

INT_PTR OnDeviceAnswered(WPARAM number, LPARAM allowed)
{
    Remembered remembered = Remembered::Yes;
    const PhoneChange change = AnswerDevice(uint32_t(number), allowed != 0, remembered);
    ShowPhoneChange(change);
    const std::wstring name = FoundNameOf(change.address);
    if (change.kind == PhoneChange::Connected && remembered == Remembered::Yes && !name.empty()) {
        in_addr device = {};
        device.s_addr = change.address;
        NoteLookedUpName(device, name);
    }
    // Said once: the list stays as it is, and the user can mend or remove it.
    static bool told = false;
    if (remembered == Remembered::ForeignValue && !told) {
        told = true;
        ShowBalloon(LoadText(IDS_CANNOT_REMEMBER).c_str());
    }
    RefreshTrustedPhones();
    return TRUE;
}
