// The service advertisement: one DNS-SD registration, held for the life of the process.
#pragma once

constexpr char SERVICE_TYPE[] = "_Pavrel._tcp";
constexpr wchar_t DNS_SD_LIBRARY[] = L"dnssd.dll";

// Registers the service; returns 0 on success, or the library's error code. A refusal is
// shown to the user at once with a balloon and the status window.
int AdvertiseService();
