// An IPv4 address written the usual way, in host byte order, for the tables of the native tests.
#pragma once
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdint>

inline uint32_t Address(const char* dotted)
{
    in_addr address = {};
    EXPECT_EQ(inet_pton(AF_INET, dotted, &address), 1) << dotted;
    return ntohl(address.s_addr);
}
