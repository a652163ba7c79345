// What the user sees of trusting a device beyond the question itself: the name looked up while it
// is asked about, kept with it once allowed, and a word when an allowed phone cannot be remembered.
#pragma once
#include <cstdint>
#include <string>

#include "app/trust_prompt.h"

// Asks the user about the device at this address, whose connection has this number, and looks up
// its name meanwhile.
void AskAboutDevice(uint32_t address, uint32_t number, DeviceAnswer answer);
// The user allowed the device: it is remembered once its hardware address is learnt, with the
// name found for this very question.
void RememberAllowedDevice(uint32_t address, uint32_t number);
// A name found for the question with this number; tests hand it in as the lookup would.
void OnDeviceNamed(uint32_t number, const std::wstring& name);
