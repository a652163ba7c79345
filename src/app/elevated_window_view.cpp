#include "app/elevated_window_view.h"

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
static HWND elevated = nullptr;
static std::wstring elevatedText;

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
    wsprintfW(text, LoadText(IDS_ELEVATED_WINDOW).c_str(), title.c_str());
    return text;
}

static bool Told(HWND window) { return BalloonSaid(IDS_ELEVATED_WINDOW, {GUID{}, window}); }

void OnForegroundChanged()
{
    const ElevatedWindow foreground = readElevatedForeground();
    elevated = foreground.window;
    ShowElevatedWindowLine(elevated != nullptr);
    if (!elevated) return;
    elevatedText = LineFor(foreground.title);
    SetDlgItemTextW(statusWindow.window, IDC_ELEVATED_WINDOW_NOTE, elevatedText.c_str());
    if (!Told(elevated)) TellOfNextInputServed();
}

void OnInputServed()
{
    if (elevated) ShowBalloonOnce(IDS_ELEVATED_WINDOW, {GUID{}, elevated}, elevatedText.c_str());  // gone: another came in front
}
