// What the user sees of the phone's connection and of the port it comes through: the status
// window's labels and the tray icon.
#pragma once
#include <windows.h>

#include "net/connection_book.h"

void ShowPhoneChange(const PhoneChange& change);
void ShowNotConnected();
// Another program holds port 4026: no phone can reach this one.
void ShowPortInUse();
// Another user is at the screen: this copy serves no phone, and says so without a balloon.
void ShowAway(bool away);
// The user's answer to the question about the connection with this number.
INT_PTR OnDeviceAnswered(WPARAM number, LPARAM allowed);
