#include "input/keyboard.h"

#include <bitset>

#include "input/inject.h"
#include "input/packet.h"

struct SpecialKeyMapping {
    uint8_t phoneCode;
    uint8_t virtualKey;
};

static const SpecialKeyMapping specialKeys[] = {
    {51, VKEY_BACK},  {52, VKEY_RETURN}, {55, VKEY_LWIN},  {58, VKEY_MENU}, {59, VKEY_CONTROL},
    {123, VKEY_LEFT}, {124, VKEY_RIGHT}, {125, VKEY_DOWN}, {126, VKEY_UP},
};

// Modifier bits of a layout lookup and the keys pressed for them, in the order they are pressed.
struct ModifierMapping {
    uint8_t bit;
    uint8_t virtualKey;
};

// The keys the phone has pressed and not yet released, by virtual key.
static std::bitset<256> heldKeys;

static const ModifierMapping modifiers[] = {{0x01, VKEY_SHIFT}, {0x02, VKEY_CONTROL}, {0x04, VKEY_MENU}};

// The modifier bits of the keys the phone itself holds down.
static uint8_t HeldModifierBits()
{
    uint8_t bits = 0;
    for (const ModifierMapping& modifier : modifiers)
        if (heldKeys[modifier.virtualKey]) bits |= modifier.bit;
    return bits;
}

static void SendModifiers(uint8_t bits, uint32_t flags)
{
    for (const ModifierMapping& modifier : modifiers)
        if (bits & modifier.bit) InjectKeyEvent(modifier.virtualKey, flags);
}

void SpecialKey(int32_t type, int32_t arg1)
{
    const uint8_t code = uint8_t(uint32_t(arg1) & 0xFFu);
    for (const SpecialKeyMapping& key : specialKeys) {
        if (key.phoneCode != code) continue;
        const bool press = type == PKT_KEY_DOWN;
        heldKeys[key.virtualKey] = press;
        InjectKeyEvent(key.virtualKey, press ? 0 : KEY_UP);
        return;
    }
    PlayDefaultBeep();
}

// Characters the layout lacks, or reaches only through a dead key (which would combine with the
// next character), are typed as the UTF-16 unit itself.
static void TypeUnicodeUnit(uint16_t unit)
{
    InjectUnicodeUnit(unit, 0);
    InjectUnicodeUnit(unit, KEY_UP);
}

// An emoji comes as two packets, the high surrogate first. The first half waits for the second,
// and both are typed together for the system to join, so that a half never joins with a
// character of another phone or stands alone; a half whose partner never comes is dropped.
static uint16_t pendingHighSurrogate = 0;

static bool IsHighSurrogate(uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
static bool IsLowSurrogate(uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void ForgetPendingCharacter() { pendingHighSurrogate = 0; }

void TypeCharacter(int32_t arg1)
{
    const uint16_t character = uint16_t(uint32_t(arg1) & 0xFFFFu);
    const uint16_t highHalf = pendingHighSurrogate;
    pendingHighSurrogate = 0;
    if (IsHighSurrogate(character)) {
        pendingHighSurrogate = character;
        return;
    }
    if (IsLowSurrogate(character)) {
        if (highHalf) TypeUnicodeUnit(highHalf);
        TypeUnicodeUnit(character);
        return;
    }
    // Read for every character, so that a layout switched on the PC counts from the next one.
    const KeyboardLayout layout = ForegroundLayout();
    const uint16_t scan = LookUpCharacterKey(character, layout);
    const uint8_t virtualKey = uint8_t(scan & 0xFFu);
    const uint8_t shiftState = uint8_t(scan >> 8);
    // A key that needs a shift state beyond Shift, Ctrl and Alt (Kana, Hankaku) cannot be typed
    // with those three: such a character goes the Unicode way too. A dead key is tested in the
    // very shift state the character needs: "~" on AltGr+2 is dead where "2" and "é" are not.
    if (scan == NO_KEY_FOR_CHARACTER || (shiftState & ~0x07u) || KeyIsDead(virtualKey, shiftState, layout)) {
        TypeUnicodeUnit(character);
        return;
    }
    // A character the layout has is typed with its real key, which games, remote-desktop clients
    // and shortcuts see. Enter is always typed plain: a line feed maps to Ctrl+Enter on common layouts.
    // The modifiers the phone holds stay held.
    const uint8_t bits = virtualKey == VKEY_RETURN ? 0 : uint8_t(shiftState & ~HeldModifierBits());
    SendModifiers(bits, 0);
    InjectKeyEvent(virtualKey, 0);
    // The modifiers are released before the key itself.
    SendModifiers(bits, KEY_UP);
    InjectKeyEvent(virtualKey, KEY_UP);
}

void ReleaseHeldKeys()
{
    for (unsigned virtualKey = 0; virtualKey < heldKeys.size(); ++virtualKey)
        if (heldKeys[virtualKey]) InjectKeyEvent(uint8_t(virtualKey), KEY_UP);
    heldKeys.reset();
}
