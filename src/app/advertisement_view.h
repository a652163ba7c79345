// What the user sees of the service advertisement.
#pragma once

// "Registered", or "Failed" with the balloon that tells the user how phones can still connect,
// and the status window shown.
void ShowAdvertisement(bool registered);
