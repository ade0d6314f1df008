#pragma once
// The fonts the program brings along, in the `fonts` folder beside the
// executable, made available to this process only.

namespace vesk::app::win32 {

// Registers every TrueType file of that folder; returns how many the system
// accepted. A missing folder or a file the system refuses is no error: font
// matching then picks a substitute.
int RegisterPrivateFonts();

}  // namespace vesk::app::win32
