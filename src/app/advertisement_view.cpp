#include "app/advertisement_view.h"

#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "resources/resource.h"

// Told once until a registration works again: a PC without any DNS-SD service would otherwise say
// so at every wake from sleep.
static bool failureTold = false;

void ShowAdvertisement(bool registered)
{
    ShowStatusValue(StatusValue::Advertisement, LoadText(registered ? IDS_REGISTERED : IDS_FAILED).c_str());
    if (registered) {
        failureTold = false;
        return;
    }
    if (failureTold) return;
    failureTold = true;
    ShowBalloon(LoadText(IDS_ADVERTISEMENT_FAILURE).c_str());
    ShowWindow(statusWindow.window, SW_SHOW);
}
