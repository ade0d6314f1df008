#ifndef VESK_APP_WIN32_RESOURCE_IDS_H
#define VESK_APP_WIN32_RESOURCE_IDS_H
// Identifiers of the program's own resources, shared by vesk_clock.rc and the
// C++ code. Plain macros and include guards, because the resource compiler
// reads this file too.

// The application icon (16, 24, 32, 48 and 256 pixels, 32-bit with alpha):
// the first icon group, so the shell shows it for VeskClock.exe; load it with
// LoadImage(instance, MAKEINTRESOURCE(VESK_IDI_MAINICON), IMAGE_ICON, ...).
#define VESK_IDI_MAINICON 1

#endif
