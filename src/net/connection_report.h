// What the phone's connection tells the user. The application defines these; the connection
// code calls them on the UI thread only, so that it needs nothing of the window or the tray.
#pragma once
#include <winsock2.h>

void ReportPhoneConnected(in_addr phone);
// The connection was ended on this side (the user's Disconnect).
void ReportPhoneDisconnected();
// The connection is over: the phone closed it, or its end after a Disconnect was seen.
void ReportPhoneLeft();
