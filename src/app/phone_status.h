// What the user sees of the phone, kept in one record: how the phone's connection stands, and
// whether input is paused, the screen locked or another user at it. Every change goes through
// here and is drawn whole, by one function, into the status window's labels and the tray's
// picture and tip, so that they never disagree; while a phone is served the PC is kept quick for it.
#pragma once
#include <cstdint>

enum class PhoneLink : uint8_t {
    NotConnected,
    Asking,     // a device is asked about and no phone is connected: shown as not connected
    Connected,  // with the phone's address
    PortInUse,  // another program holds port 4026
};

void ShowPhoneLink(PhoneLink link, uint32_t address = 0);
void ShowPhonePaused(bool paused);
void ShowPhoneLocked(bool locked);
// Another user is at the screen: no phone is shown connected, and the window and tip say why.
void ShowPhoneAway(bool away);
