// The status window's rows that come and go: the firewall's line, with its link, and the line that
// says Windows keeps the phone out of the foreground window. While one is hidden it takes no
// room; shown, the rows below move down and the window grows.
#pragma once

void ShowFirewallLine(bool shown, bool withLink);
void ShowKeptOutLine(bool shown);
