#include "net/owner_session.h"

#include <iphlpapi.h>

#include <vector>

#include "net/trust.h"

namespace {

// The table of the transport's endpoints with their processes, however large it has grown.
template <typename Table>
bool ReadTable(Transport transport, std::vector<unsigned char>& buffer)
{
    for (int tries = 0; tries < 4; ++tries) {
        DWORD size = DWORD(buffer.size());
        const DWORD result =
            transport == Transport::Tcp
                ? GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_CONNECTIONS, 0)
                : GetExtendedUdpTable(buffer.data(), &size, FALSE, AF_INET, UDP_TABLE_OWNER_PID, 0);
        if (result == NO_ERROR) return buffer.size() >= sizeof(Table);
        if (result != ERROR_INSUFFICIENT_BUFFER) return false;
        buffer.resize(size + 1024);  // room for the rows added since it was measured
    }
    return false;
}

// The process of the row with this local address (a datagram socket may be bound to every
// address) and port; 0 names nobody, as for a connection already closed.
template <typename Table>
DWORD OwnerProcess(Transport transport, uint32_t address, uint16_t port)
{
    std::vector<unsigned char> buffer(sizeof(Table) + 64 * sizeof(Table::table[0]));
    if (!ReadTable<Table>(transport, buffer)) return 0;
    const auto& table = *reinterpret_cast<const Table*>(buffer.data());
    for (DWORD i = 0; i < table.dwNumEntries; ++i) {
        const auto& row = table.table[i];
        const bool anyAddress = transport == Transport::Udp && row.dwLocalAddr == 0;
        if (ntohs(u_short(row.dwLocalPort)) == port && (anyAddress || ntohl(row.dwLocalAddr) == address))
            return row.dwOwningPid;
    }
    return 0;
}

uint32_t AskTheNetworkStack(Transport transport, uint32_t address, uint16_t port)
{
    const DWORD process = transport == Transport::Tcp ? OwnerProcess<MIB_TCPTABLE_OWNER_PID>(transport, address, port)
                                                      : OwnerProcess<MIB_UDPTABLE_OWNER_PID>(transport, address, port);
    DWORD session = 0;
    if (process == 0 || !ProcessIdToSessionId(process, &session)) return NO_OWNER_SESSION;  // gone meanwhile
    return session;
}

}  // namespace

uint32_t (*ownerSession)(Transport, uint32_t, uint16_t) = AskTheNetworkStack;

uint32_t ThisSession()
{
    DWORD own = 0;
    (void)ProcessIdToSessionId(GetCurrentProcessId(), &own);
    return own;
}

bool HeldInThisSession(Transport transport, uint32_t address, uint16_t port)
{
    return SessionMayDrive(ownerSession(transport, address, port), ThisSession());
}
