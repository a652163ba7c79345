// The status window's rows that come and go: the firewall's line, with its link, the line that
// says Windows keeps the phone out of the foreground window, and the first line, with its link,
// that says where the icon lives. While one is hidden it takes no
// room; shown, the rows below move down and the window grows.
#pragma once

void ShowFirewallLine(bool shown, bool withLink);
void ShowElevatedWindowLine(bool shown);
// While the window is shown by a start, not by the icon: the user may not know where the icon is.
void ShowTrayHintLine(bool shown);
