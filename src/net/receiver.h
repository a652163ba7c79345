// The input receiver: the worker thread that owns UDP port 4026 and feeds the dispatcher.
#pragma once
#include "net/sockets.h"

DWORD WINAPI RunInputReceiver(LPVOID unused);
