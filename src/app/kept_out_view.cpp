#include "app/kept_out_view.h"

#include <string>

#include "app/status_layout.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "base/user_text.h"
#include "net/receiver.h"
#include "pc/foreground.h"
#include "resources/resource.h"

// The title is shortened to this many characters, so that the line keeps to its three rows.
constexpr size_t SHOWN_TITLE_LENGTH = 32;

// The window in front that the phone cannot reach, and what the line says of it.
static HWND keptOut = nullptr;
static std::wstring keptOutText;

void WatchForeground()
{
    (void)WatchForegroundChanges(OnForegroundChanged);  // none: nothing is said
    OnForegroundChanged();
}

static std::wstring LineFor(std::wstring title)
{
    const std::wstring cut = CutToCharacters(title, SHOWN_TITLE_LENGTH);
    if (cut.size() < title.size()) title = CutToCharacters(cut, SHOWN_TITLE_LENGTH - 1) + L"\u2026";
    wchar_t text[1024];  // wsprintfW writes at most this many
    wsprintfW(text, LoadText(IDS_KEPT_OUT).c_str(), title.c_str());
    return text;
}

static bool Told(HWND window) { return BalloonSaid(IDS_KEPT_OUT, {GUID{}, window}); }

void OnForegroundChanged()
{
    const KeptOutWindow foreground = readKeptOutForeground();
    keptOut = foreground.window;
    ShowKeptOutLine(keptOut != nullptr);
    if (!keptOut) return;
    keptOutText = LineFor(foreground.title);
    SetDlgItemTextW(statusWindow.window, IDC_KEPT_OUT_NOTE, keptOutText.c_str());
    if (!Told(keptOut)) TellOfNextInputServed();
}

void OnInputServed()
{
    if (keptOut) ShowBalloonOnce(IDS_KEPT_OUT, {GUID{}, keptOut}, keptOutText.c_str());  // gone: another came in front
}
