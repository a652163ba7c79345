#include "input/keyboard.h"

#include "input/inject.h"

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

static const ModifierMapping modifiers[] = {{0x01, VKEY_SHIFT}, {0x02, VKEY_CONTROL}, {0x04, VKEY_MENU}};

// The keys in a keyboard's extended positions, which it sends with the 0xE0 prefix: the arrows,
// Page Up and Down, End, Home, Insert, Delete, Print Screen, the Windows and Applications keys,
// Divide, Num Lock, right Ctrl and right Alt, and the browser and media keys. Taken from the key
// itself, not only from the layout's scan code: not every system's table gives the prefix.
static bool InExtendedPosition(uint8_t virtualKey)
{
    return (virtualKey >= 0x21 && virtualKey <= 0x28) || virtualKey == 0x2C || virtualKey == 0x2D ||
           virtualKey == 0x2E || (virtualKey >= 0x5B && virtualKey <= 0x5D) || virtualKey == 0x6F ||
           virtualKey == 0x90 || virtualKey == 0xA3 || virtualKey == 0xA5 || (virtualKey >= 0xA6 && virtualKey <= 0xB7);
}

// The press of the key as a physical keyboard of the layout sends it. A key the layout has no scan
// code for goes with its virtual key alone.
static KeyStroke PressOf(uint8_t virtualKey, KeyboardLayout layout)
{
    const uint16_t scan = LookUpScanCode(virtualKey, layout);
    if ((scan & 0xFF) == 0) return {virtualKey, 0, 0};
    const bool extended = InExtendedPosition(virtualKey) || (scan & 0xFF00) == 0xE000;
    return {virtualKey, uint16_t(scan & 0xFF), extended ? KEY_EXTENDED : 0};
}

static KeyStroke ReleaseOf(KeyStroke press)
{
    press.flags |= KEY_UP;
    return press;
}

// The presses of the keys the phone holds down, by virtual key: each is released with exactly
// the scan code and flags it was pressed with, so that nothing stays held in a program that
// tracks scan codes, even when the layout changed in between.
static bool held[256];
static KeyStroke heldPresses[256];

// The modifier bits of the keys the phone itself holds down.
static uint8_t HeldModifierBits()
{
    uint8_t bits = 0;
    for (const ModifierMapping& modifier : modifiers)
        if (held[modifier.virtualKey]) bits |= modifier.bit;
    return bits;
}

void SpecialKey(bool press, int32_t arg1)
{
    const uint8_t code = uint8_t(uint32_t(arg1) & 0xFFu);
    for (const SpecialKeyMapping& key : specialKeys) {
        if (key.phoneCode != code) continue;
        const uint8_t virtualKey = key.virtualKey;
        const KeyStroke stroke = press ? PressOf(virtualKey, ForegroundLayout())
                                       : ReleaseOf(held[virtualKey] ? heldPresses[virtualKey]
                                                                    : PressOf(virtualKey, ForegroundLayout()));
        held[virtualKey] = press;
        heldPresses[virtualKey] = stroke;
        InjectKeys(&stroke, 1);
        return;
    }
    PlayDefaultBeep();
}

// Characters the layout lacks, or reaches only through a dead key (which would combine with the
// next character), are typed as the UTF-16 unit itself.
static void TypeUnicodeUnit(uint16_t unit) { InjectUnicodeUnits(&unit, 1); }

// An emoji comes as two packets, the high surrogate first. The first half waits for the second,
// and both are typed together for the system to join, so that a half never joins with a
// character of another phone or stands alone; a half whose partner never comes is dropped.
static uint16_t pendingHighSurrogate = 0;

static bool IsHighSurrogate(uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
static bool IsLowSurrogate(uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void ForgetPendingCharacter() { pendingHighSurrogate = 0; }

// The character's key with the modifiers its shift state needs, as one sequence: the modifiers
// pressed, the key, the modifiers released before the key itself.
static void TypeWithKey(uint8_t virtualKey, uint8_t bits, KeyboardLayout layout)
{
    KeyStroke strokes[8];
    size_t count = 0;
    for (const ModifierMapping& modifier : modifiers)
        if (bits & modifier.bit) strokes[count++] = PressOf(modifier.virtualKey, layout);
    const size_t modifierCount = count;
    const KeyStroke key = PressOf(virtualKey, layout);
    strokes[count++] = key;
    for (size_t i = 0; i < modifierCount; ++i) strokes[count++] = ReleaseOf(strokes[i]);
    strokes[count++] = ReleaseOf(key);
    InjectKeys(strokes, count);
}

void TypeCharacter(int32_t arg1)
{
    const uint16_t character = uint16_t(uint32_t(arg1) & 0xFFFFu);
    const uint16_t highHalf = pendingHighSurrogate;
    pendingHighSurrogate = 0;
    if (IsHighSurrogate(character)) {
        pendingHighSurrogate = character;
        return;
    }
    if (IsLowSurrogate(character)) {  // alone, it is dropped
        const uint16_t pair[] = {highHalf, character};
        if (highHalf) InjectUnicodeUnits(pair, 2);
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
    TypeWithKey(virtualKey, virtualKey == VKEY_RETURN ? 0 : uint8_t(shiftState & ~HeldModifierBits()), layout);
}

void ReleaseHeldKeys()
{
    for (unsigned virtualKey = 0; virtualKey < 256; ++virtualKey)
        if (held[virtualKey]) {
            const KeyStroke release = ReleaseOf(heldPresses[virtualKey]);
            InjectKeys(&release, 1);
            held[virtualKey] = false;
        }
}
