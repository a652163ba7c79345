// What the user sees of the phone's connection and of the port it comes through: the status
// window's labels and the tray icon.
#pragma once
#include "net/connection_book.h"

void ShowPhoneChange(const PhoneChange& change);
void ShowNotConnected();
// Another program holds port 4026: no phone can reach this one.
void ShowPortInUse();
