// Handing over to the control panel when the tester cannot create the
// control: the panel, started with "noocx", runs its configuration wizard,
// which registers the control and starts the tester again.
#pragma once

#include <string>

// The two names the panel may have in the tester's folder, in the order they
// are tried: the release build and the debug build. Whichever exists starts.
extern const char* const kControlPanelNames[2];
constexpr char kControlPanelParameters[] = "noocx";

// Asks the shell to open each of kControlPanelNames in `strFolder` with
// "noocx", working folder `strFolder`, in a normal window. Names that do not
// exist fail quietly; true when at least one started.
bool StartControlPanel(const std::string& strFolder);
