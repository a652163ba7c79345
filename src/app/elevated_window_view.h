// What the user sees when Windows keeps the phone's input out of the foreground window (a program
// run as administrator): a line in the status window while that window is in front, and one
// balloon per such window once a phone's input is acted on while it is.
#pragma once

// Starts following the foreground window.
void WatchForeground();
// Another window came to the front.
void OnForegroundChanged();
// The phone's input was acted on after TellOfNextInputServed.
void OnInputServed();
