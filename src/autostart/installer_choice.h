// The start at log-on that the installer chose for every user of the PC. The installer runs with
// an administrator's rights, often another account's, so it leaves the choice for the machine, and
// each user's copy applies it once: the shortcut lands in that user's own Startup folder, and a
// user who later unticks the box keeps it unticked.
#pragma once

enum class InstallersChoice {
    None,          // no install's choice, or this user's copy applied it before
    Applied,       // applied over an earlier install's
    AppliedFirst,  // applied for a user who had no mark of any install before
};
InstallersChoice ApplyInstallersChoice();
