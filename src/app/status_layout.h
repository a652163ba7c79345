// The status window's one row that comes and goes: the firewall's line, with its link. While it is
// hidden it takes no room; shown, the rows below move down and the window grows.
#pragma once

void ShowFirewallLine(bool shown, bool withLink);
