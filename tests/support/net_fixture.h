// The status window with a live listener on port 4026, for tests of the phone's connection.
#pragma once
#include <cstdint>

#include "support/app_fixture.h"

class NetTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Connects as a phone and waits until the server has accepted it.
    SOCKET Connect();
    // Waits for the monitor's end of the connection and checks what the user sees.
    void ExpectNotConnectedAfterMonitor();
};

// Starts the program's input receiver on UDP port 4026, once for the whole test program.
void StartReceiverOnce();
// Sends one input packet to UDP port 4026 on loopback, as the phone does.
void SendDatagram(int32_t type, int32_t arg1);
