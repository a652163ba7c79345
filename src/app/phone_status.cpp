#include "app/phone_status.h"

#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "pc/host.h"
#include "pc/responsiveness.h"
#include "resources/resource.h"

static struct {
    PhoneLink link = PhoneLink::NotConnected;
    uint32_t address = 0;
    bool paused = false;
    bool locked = false;
    bool away = false;
} phone;

static bool Connected() { return phone.link == PhoneLink::Connected && !phone.away; }

static UINT StatusText()
{
    if (phone.away) return IDS_AWAY;
    if (phone.link == PhoneLink::PortInUse) return IDS_PORT_IN_USE;
    return Connected() ? IDS_CONNECTED : IDS_NOT_CONNECTED;
}

static UINT TipText()
{
    if (phone.away) return IDS_AWAY;
    if (phone.paused) return IDS_TIP_PAUSED;
    return Connected() ? IDS_TIP_CONNECTED : IDS_TIP_NOT_CONNECTED;
}

static void Draw()
{
    ShowStatusValue(StatusValue::Connection, LoadText(StatusText()).c_str());
    ShowStatusValue(StatusValue::PhoneAddress, Connected() ? FormatAddress(phone.address).c_str() : L"0.0.0.0");
    ShowTrayLook({Connected(), TipText(), phone.paused});
    KeepResponsive(Connected() && !phone.paused && !phone.locked);
}

void ShowPhoneLink(PhoneLink link, uint32_t address)
{
    phone.link = link;
    phone.address = address;
    Draw();
}

void ShowPhonePaused(bool paused)
{
    phone.paused = paused;
    Draw();
}

void ShowPhoneLocked(bool locked)
{
    phone.locked = locked;
    Draw();
}

void ShowPhoneAway(bool away)
{
    phone.away = away;
    Draw();
}
