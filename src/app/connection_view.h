// What the user sees of the phone's connection and of the port it comes through: the status
// window's labels and the tray icon.
#pragma once
#include <windows.h>

#include "net/connection_book.h"

void ShowPhoneChange(const PhoneChange& change);
// The receiver's word that a datagram came from an address being judged.
void ShowInputArrived(uint32_t address);
void ShowNotConnected();
// Another program holds port 4026: no phone can reach this one.
void ShowPortInUse();
// The user's answer to the question about the connection with this number.
void OnDeviceAnswered(uint32_t number, bool allowed);
