// A recorder in place of the platform's injection calls, for the native tests of the input core.
#pragma once
#include <cstdint>
#include <iosfwd>
#include <map>
#include <set>
#include <utility>
#include <vector>

struct RecordedEvent {
    enum Kind { Mouse, Key, Beep, Unicode } kind;
    uint32_t flags;
    int32_t dx, dy, data;  // mouse events; the unit of a Unicode event
    uint8_t virtualKey;    // key events
    uint16_t scanCode;     // key events
    bool sameCall;         // a key event handed to the system in one call with the one before
    // An expected event that asks for the same call matches only such an event.
    bool operator==(const RecordedEvent& other) const;
};

RecordedEvent MouseEvent(uint32_t flags, int32_t dx = 0, int32_t dy = 0, int32_t data = 0);
RecordedEvent KeyEvent(uint8_t virtualKey, uint32_t flags, uint16_t scanCode = 0, bool sameCall = false);
RecordedEvent BeepEvent();
RecordedEvent UnicodeEvent(uint16_t unit, uint32_t flags, bool sameCall = false);

extern std::vector<RecordedEvent> recordedEvents;
// The keyboard layouts the recorder answers lookups from, and which of them the foreground window
// types in; characters not in a layout have no key there.
constexpr uintptr_t US_LAYOUT = 0x04090409, SECOND_LAYOUT = 0x04190419;
extern std::map<uint16_t, uint16_t> recordedLayout;        // US_LAYOUT
extern std::map<uint16_t, uint16_t> recordedSecondLayout;  // SECOND_LAYOUT
extern uintptr_t foregroundLayout;
// The layout's dead keys, as a lookup names them: the shift state in the high byte, the virtual
// key in the low one.
extern std::set<uint16_t> recordedDeadKeys;
// The layouts' scan codes by layout and virtual key, as LookUpScanCode gives them (0xE0 in the
// high byte for an extended key); none unless a test sets them.
extern std::map<std::pair<uintptr_t, uint8_t>, uint16_t> recordedScanCodes;

void PrintTo(const RecordedEvent& event, std::ostream* os);

// Clears the events, loads a small layout (US letters, an AltGr euro sign, a dead circumflex)
// and starts the input core afresh, as for a new phone.
void ResetRecorder();
