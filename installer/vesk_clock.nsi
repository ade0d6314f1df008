; The per-user installer of Vesk Clock, built by scripts/make_release.sh with
; makensis. It needs no administrator rights: the program goes into the
; user's own programs folder, the shortcut into the user's Start menu and the
; entry of the list of installed programs into HKEY_CURRENT_USER.
;
; Defines given by make_release.sh (makensis -D...):
;   VERSION         0.1.0           VERSION_QUAD   0.1.0.0
;   PRODUCT_NAME    Vesk Clock      PUBLISHER, COPYRIGHT
;   APP_DIR         the release folder whose files are installed
;   FILES_NSH       File lines for APP_DIR's files (made by make_release.sh)
;   DELETE_NSH      the Delete and RMDir lines that remove them again
;   SIZE_KB         the installed size in KiB
;   ICON            the program's icon file
;   OUT_FILE        the installer to write
;   SIGN_COMMAND    optional: a command that signs the file "%1" in place,
;                   run on the uninstaller before it is packed
;
; Command line: /S silent; /D=FOLDER another installation folder (last).
; The uninstaller takes /S too.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define APP_EXE "VeskClock.exe"
!define CLOCK_CLASS "TfrmMain"
!define CLOCK_TITLE "Vesk Clock"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VeskClock"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "VeskClock"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
; How long a clock may take to end after WM_CLOSE (its fade-out takes about
; a quarter of a second; removing its notification-area icon can take longer).
!define CLOSE_WAIT_MS 10000

!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND}'
!endif

Name "${PRODUCT_NAME}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT_NAME}"
; An upgrade goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT_NAME} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "VeskClock-${VERSION}-setup.exe"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP_EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME} now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; 1 when the installer closed a running clock (a silent upgrade starts it
; again when it is done).
Var ClockWasRunning

; Closes every running clock: each window of class TfrmMain titled
; "Vesk Clock" gets WM_CLOSE and the installer waits until its process has
; ended (at most CLOSE_WAIT_MS). A clock that does not end makes the user
; choose Retry or Cancel; silently, or on Cancel, the setup stops with exit
; code 2. Sets ClockWasRunning.
!macro DEFINE_CLOSE_CLOCK PREFIX
Function ${PREFIX}CloseClock
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $ClockWasRunning 0
  retry:
  StrCpy $3 0  ; windows asked to close in this round
  next:
    FindWindow $0 "${CLOCK_CLASS}" "${CLOCK_TITLE}"
    ${If} $0 = 0
      Goto done
    ${EndIf}
    ${If} $3 >= 16
      Goto stuck
    ${EndIf}
    IntOp $3 $3 + 1
    StrCpy $ClockWasRunning 1
    DetailPrint "Closing the running ${PRODUCT_NAME}"
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE: enough to wait for the process to end.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCmp $2 0 wait_window
    System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT_MS}) i .r1'
    System::Call 'kernel32::CloseHandle(p r2)'
    StrCmp $1 0 next stuck  ; WAIT_OBJECT_0: the process has ended
  wait_window:
    ; No handle to wait on: wait for the window to go.
    StrCpy $1 0
  wait_window_step:
    IsWindow $0 0 next
    Sleep 100
    IntOp $1 $1 + 100
    IntCmp $1 ${CLOSE_WAIT_MS} stuck wait_window_step stuck
  stuck:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT_NAME} is still running.$\r$\nClose it (right-click the clock or its icon and choose Exit), then choose Retry." \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  done:
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_CLOCK ""
!insertmacro DEFINE_CLOSE_CLOCK "un."

Section "Install"
  Call CloseClock
  SetOutPath "$INSTDIR"
  !include "${FILES_NSH}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The working folder of the shortcut is the installation folder.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0 \
    SW_SHOWNORMAL "" "A desktop analog clock"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; A silent upgrade gives the user back the clock it closed.
  ${If} ${Silent}
  ${AndIf} $ClockWasRunning = 1
    Exec '"$INSTDIR\${APP_EXE}"'
  ${EndIf}
SectionEnd

Section "Uninstall"
  Call un.CloseClock
  !include "${DELETE_NSH}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"

  ; The clock registers its own full path under Run when "Load at Startup"
  ; is checked. That value goes with the program it names; a value naming
  ; another copy of the clock stays.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == "$INSTDIR\${APP_EXE}"
  ${OrIf} $0 == '"$INSTDIR\${APP_EXE}"'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; HKCU\Software\VeskClock, the user's settings, stays for a later
  ; installation.
SectionEnd
