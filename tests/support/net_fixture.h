// The status window with a live listener on port 4026, for tests of the phone's connection.
#pragma once
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

// Ends any input receiver still waiting for a datagram, so the next test starts clean.
void ReleaseLingeringReceivers();
