#include "net/connection_book.h"

#include <algorithm>

using Watched = ConnectionBook::Watched;

static bool Unserved(const Watched& entry) { return entry.stage == Watched::Judging || entry.stage == Watched::Asking; }

Watching WatchConnection(ConnectionBook& book, SocketId socket, uint32_t address)
{
    Watching watching;
    const bool served = book.connected && address == book.currentAddress;
    if (book.watched.size() >= MOST_CONNECTIONS && !served) return watching;
    watching.end.reserve(MOST_UNSERVED_PER_DEVICE);  // nothing allocates once the entry is in
    book.watched.push_back({socket, ++book.lastNumber, address, Watched::Judging});
    watching.number = book.lastNumber;
    size_t unserved = size_t(std::count_if(book.watched.begin(), book.watched.end(), [&](const Watched& entry) {
        return entry.address == address && Unserved(entry);
    }));
    for (Watched& entry : book.watched) {  // oldest first
        if (unserved <= MOST_UNSERVED_PER_DEVICE) break;
        if (entry.address != address || entry.stage != Watched::Judging) continue;
        entry.stage = Watched::Ending;
        watching.end.push_back(entry.socket);
        --unserved;
    }
    return watching;
}

static Watched* Find(ConnectionBook& book, uint32_t number)
{
    for (Watched& entry : book.watched)
        if (entry.number == number) return &entry;
    return nullptr;
}

const Watched* FindWatched(const ConnectionBook& book, uint32_t number)
{
    return Find(const_cast<ConnectionBook&>(book), number);
}

std::vector<uint32_t> JudgingFrom(const ConnectionBook& book, uint32_t address)
{
    std::vector<uint32_t> numbers;
    for (const Watched& entry : book.watched)
        if (entry.stage == Watched::Judging && entry.address == address) numbers.push_back(entry.number);
    return numbers;
}

std::vector<uint32_t> JudgingAddresses(const ConnectionBook& book)
{
    std::vector<uint32_t> addresses;
    for (const Watched& entry : book.watched)
        if (entry.stage == Watched::Judging &&
            std::find(addresses.begin(), addresses.end(), entry.address) == addresses.end())
            addresses.push_back(entry.address);
    return addresses;
}

bool Asking(const ConnectionBook& book)
{
    return book.questionsHeld || std::any_of(book.watched.begin(), book.watched.end(),
                       [](const Watched& entry) { return entry.stage == Watched::Asking; });
}

// Ends the current connection, if any, without closing its socket: its monitor still uses it,
// and the socket is closed on the monitor's word that it ended.
static ConnectionStep EndCurrent(ConnectionBook& book, PhoneChange::Kind shown)
{
    ConnectionStep step;
    if (!book.connected) return step;
    step.end = book.current;
    step.endsCurrent = true;
    step.change.kind = shown;
    step.change.address = book.currentAddress;
    book.connected = false;
    book.current = NO_SOCKET;
    return step;
}

// The step for a connection leaving a stage; records that it left judging.
static ConnectionStep LeftStage(Watched& entry, ConnectionStep step = {})
{
    if (entry.stage == Watched::Judging) step.judged = true;
    return step;
}

static ConnectionStep TakeOver(ConnectionBook& book, Watched& entry)
{
    ConnectionStep step = LeftStage(entry, EndCurrent(book, PhoneChange::Nothing));
    entry.stage = Watched::Admitted;
    book.connected = true;
    book.current = entry.socket;
    book.currentNumber = entry.number;
    book.currentAddress = entry.address;
    step.change = {PhoneChange::Connected, entry.address, entry.number};
    return step;
}

// Ends a connection that never became the current one; the user sees nothing of it.
static ConnectionStep Close(Watched& entry)
{
    ConnectionStep step = LeftStage(entry);
    step.end = entry.socket;
    entry.stage = Watched::Ending;
    return step;
}

ConnectionStep Admit(ConnectionBook& book, uint32_t number, Admission admission)
{
    Watched* entry = Find(book, number);
    if (!entry || entry->stage != Watched::Judging) return {};  // judged already, or gone
    switch (admission) {
    case Admission::Serve: return TakeOver(book, *entry);
    case Admission::Close: return Close(*entry);
    case Admission::Wait:
        if (std::find(book.waiting.begin(), book.waiting.end(), number) == book.waiting.end())
            book.waiting.push_back(number);
        return {};
    case Admission::Ask: break;
    }
    ConnectionStep step = LeftStage(*entry);
    entry->stage = Watched::Asking;
    step.change = {PhoneChange::Asking, entry->address, entry->number};
    return step;
}

// The question has ended: the device that has waited longest is judged again, by its newest
// connection still being judged (one that reconnects while it waits is judged by the connection
// it holds now); its other connections leave the queue.
static uint32_t NextWaiting(ConnectionBook& book)
{
    while (!book.waiting.empty()) {
        const Watched* entry = Find(book, book.waiting.front());
        book.waiting.erase(book.waiting.begin());
        if (!entry || entry->stage != Watched::Judging) continue;
        const uint32_t address = entry->address;
        const std::vector<uint32_t> numbers = JudgingFrom(book, address);
        book.waiting.erase(std::remove_if(book.waiting.begin(), book.waiting.end(),
                                          [&](uint32_t waiting) {
                                              return std::find(numbers.begin(), numbers.end(), waiting) !=
                                                     numbers.end();
                                          }),
                           book.waiting.end());
        return numbers.back();
    }
    return 0;
}

// The device is refused, or left while asked: its other connections not served end too, unseen.
static void EndTheRestOf(ConnectionBook& book, uint32_t address, ConnectionStep& step)
{
    for (Watched& entry : book.watched)
        if (entry.address == address && Unserved(entry)) {
            if (entry.stage == Watched::Judging) step.judged = true;
            entry.stage = Watched::Ending;
            step.endAlso.push_back(entry.socket);
        }
}

ConnectionStep PassOver(ConnectionBook& book, uint32_t number)
{
    ConnectionStep step = Admit(book, number, Admission::Close);
    if (!Asking(book)) step.askNext = NextWaiting(book);
    return step;
}

ConnectionStep Answer(ConnectionBook& book, uint32_t number, bool allowed)
{
    Watched* entry = Find(book, number);
    if (!entry || entry->stage != Watched::Asking) return {};  // it left while the user decided
    ConnectionStep step = allowed ? TakeOver(book, *entry) : Close(*entry);
    if (!allowed) EndTheRestOf(book, entry->address, step);
    step.askNext = NextWaiting(book);
    return step;
}

ConnectionStep DisconnectPhone(ConnectionBook& book) { return EndCurrent(book, PhoneChange::Disconnected); }

std::vector<SocketId> EndEveryConnection(ConnectionBook& book)
{
    std::vector<SocketId> ended;
    for (Watched& entry : book.watched)
        if (entry.stage != Watched::Ending) {
            entry.stage = Watched::Ending;
            ended.push_back(entry.socket);
        }
    book.waiting.clear();
    book.connected = false;
    book.current = NO_SOCKET;
    book.currentNumber = 0;  // its end, when its monitor reports it, shows nothing more
    return ended;
}

bool HoldQuestions(ConnectionBook& book)
{
    book.questionsHeld = true;
    for (Watched& entry : book.watched)
        if (entry.stage == Watched::Asking) {
            entry.stage = Watched::Judging;
            book.waiting.insert(book.waiting.begin(), entry.number);
            return true;
        }
    return false;
}

uint32_t ResumeQuestions(ConnectionBook& book)
{
    book.questionsHeld = false;
    return Asking(book) ? 0 : NextWaiting(book);
}

ConnectionStep MonitorEnded(ConnectionBook& book, SocketId socket, uint32_t number)
{
    const auto entry = std::find_if(book.watched.begin(), book.watched.end(),
                                    [&](const Watched& w) { return w.socket == socket && w.number == number; });
    if (entry == book.watched.end()) return {};  // no monitor of ours: another process's message
    ConnectionStep step = LeftStage(*entry);
    const bool wasAsked = entry->stage == Watched::Asking;
    if (wasAsked) step.change = {PhoneChange::AskingEnded, entry->address, number};
    // The end of the current phone's connection is shown even after a Disconnect ended it here:
    // only now is it over for the phone too. A connection taken over earlier shows nothing.
    if (number == book.currentNumber) {
        const ConnectionStep ended = EndCurrent(book, PhoneChange::Left);
        step.end = ended.end;
        step.endsCurrent = ended.endsCurrent;
        step.change.kind = PhoneChange::Left;
        step.change.address = entry->address;
    }
    step.close = socket;  // after the end: the handle is not reused before it is shut down
    const uint32_t address = entry->address;
    book.watched.erase(entry);
    if (wasAsked) {
        EndTheRestOf(book, address, step);
        step.askNext = NextWaiting(book);
    }
    return step;
}
