#include "recorder.h"

#include <ostream>

#include "input/inject.h"
#include "input/packet.h"

std::vector<RecordedEvent> recordedEvents;
std::map<uint16_t, uint16_t> recordedLayout;
std::map<uint16_t, uint16_t> recordedSecondLayout;
KeyboardLayout foregroundLayout = US_LAYOUT;
std::set<uint16_t> recordedDeadKeys;
std::map<std::pair<KeyboardLayout, uint8_t>, uint16_t> recordedScanCodes;

bool RecordedEvent::operator==(const RecordedEvent& o) const
{
    return kind == o.kind && flags == o.flags && dx == o.dx && dy == o.dy && data == o.data &&
           virtualKey == o.virtualKey && scanCode == o.scanCode && (!o.sameCall || sameCall);
}

RecordedEvent MouseEvent(uint32_t flags, int32_t dx, int32_t dy, int32_t data)
{
    return RecordedEvent{RecordedEvent::Mouse, flags, dx, dy, data, 0, 0, false};
}

RecordedEvent KeyEvent(uint8_t virtualKey, uint32_t flags, uint16_t scanCode, bool sameCall)
{
    return RecordedEvent{RecordedEvent::Key, flags, 0, 0, 0, virtualKey, scanCode, sameCall};
}

RecordedEvent BeepEvent() { return RecordedEvent{RecordedEvent::Beep, 0, 0, 0, 0, 0, 0, false}; }

RecordedEvent UnicodeEvent(uint16_t unit, uint32_t flags, bool sameCall)
{
    return RecordedEvent{RecordedEvent::Unicode, flags, 0, 0, unit, 0, 0, sameCall};
}

bool InjectMouseEvent(uint32_t flags, int32_t dx, int32_t dy, int32_t data)
{
    recordedEvents.push_back(MouseEvent(flags, dx, dy, data));
    return true;
}

void InjectKeys(const KeyStroke* strokes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        recordedEvents.push_back(KeyEvent(strokes[i].virtualKey, strokes[i].flags, strokes[i].scanCode, i > 0));
}

uint16_t LookUpScanCode(uint8_t virtualKey, KeyboardLayout layout)
{
    const auto found = recordedScanCodes.find({layout, virtualKey});
    return found == recordedScanCodes.end() ? 0 : found->second;
}

KeyboardLayout ForegroundLayout() { return foregroundLayout; }

static const std::map<uint16_t, uint16_t>& Layout(KeyboardLayout layout)
{
    return layout == US_LAYOUT ? recordedLayout : recordedSecondLayout;
}

uint16_t LookUpCharacterKey(uint16_t character, KeyboardLayout layout)
{
    auto found = Layout(layout).find(character);
    return found == Layout(layout).end() ? NO_KEY_FOR_CHARACTER : found->second;
}

bool KeyIsDead(uint8_t virtualKey, uint8_t shiftState, KeyboardLayout layout)
{
    return layout == US_LAYOUT && recordedDeadKeys.count(uint16_t(shiftState << 8 | virtualKey)) != 0;
}

void InjectUnicodeUnits(const uint16_t* units, size_t count)
{
    for (size_t i = 0; i < 2 * count; ++i)
        recordedEvents.push_back(UnicodeEvent(units[i / 2], i % 2 ? KEY_UP : 0, i > 0));
}

void PlayDefaultBeep() { recordedEvents.push_back(BeepEvent()); }

void ResetRecorder()
{
    ReleaseHeldInput();  // nothing a previous test pressed is held into the next
    recordedEvents.clear();
    // 'a' plain, 'A' with Shift, CR plain, LF as Ctrl+Enter (as a US layout answers), the euro
    // sign with AltGr (Ctrl+Alt) and '^' on a dead key (as many European layouts answer).
    recordedLayout = {{0x61, 0x0041}, {0x41, 0x0141}, {0x0D, 0x000D}, {0x0A, 0x020D}, {0x20AC, 0x0645}, {0x5E, 0x00DD}};
    recordedDeadKeys = {0x00DD};
    // A Russian layout on the same keys; katakana "ア" behind the Kana shift state.
    recordedSecondLayout = {{0x0444, 0x0041}, {0x0424, 0x0141}, {0x30A2, 0x0833}};
    foregroundLayout = US_LAYOUT;
    recordedScanCodes.clear();
    ResetInputState();
}

// Lets GoogleTest print events when a comparison fails.
void PrintTo(const RecordedEvent& e, std::ostream* os)
{
    static const char* const kinds[] = {"mouse", "key", "beep", "unicode"};
    *os << kinds[e.kind] << "{flags=0x" << std::hex << e.flags << std::dec << " dx=" << e.dx << " dy=" << e.dy
        << " data=" << e.data << " vk=0x" << std::hex << int(e.virtualKey) << " scan=0x" << e.scanCode << std::dec
        << (e.sameCall ? " same call" : "") << "}";
}
