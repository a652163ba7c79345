; The installer for Windows users, built by tools/package.sh (through the `installer` target of
; the windows preset), which defines VERSION, PROGRAM, ICON and OUTFILE, and the program's own
; SERVICE_PORT and INSTANCE_SEMAPHORE, read from its source.
;
; Per machine into Program Files, a Start-menu shortcut, an Apps & Features entry, two inbound
; firewall rules for port 4026 from the local subnet only, and, unless the user unticks it, the
; program's own Startup shortcut. A running copy is asked to quit and waited for before any
; file is replaced, and again before the uninstaller removes anything.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define NAME "Palvenor Server"
!define PUBLISHER "Quorvane"
!define EXE "PalvenorServer.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define SHORTCUT "$SMPROGRAMS\${NAME}.lnk"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "${NAME}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "© 2026 ${PUBLISHER}. All rights reserved."
VIAddVersionKey /LANG=1033 FileDescription "${NAME} installer"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${NAME} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartServer
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; Every running copy holds the named semaphore, which goes with its process: once
; it cannot be opened, no copy runs and its file can be replaced or deleted. Gives up after 15 s.
!macro WaitUntilNoServerRuns
  ${For} $R0 1 150
    System::Call 'kernel32::OpenSemaphoreW(i 0x00100000, i 0, w "${INSTANCE_SEMAPHORE}") p.R1'
    ${If} $R1 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R1)'
    Sleep 100
  ${Next}
!macroend

!macro RemoveFirewallRule PROTOCOL
  nsExec::Exec 'netsh advfirewall firewall delete rule name="${NAME} (${PROTOCOL})"'
  Pop $0
!macroend

; Inbound port 4026 for the installed program, from the local subnet only, on private and domain
; networks, so that Windows does not prompt at the first connection and nothing farther away
; reaches the port.
!macro AllowFromLocalSubnet PROTOCOL
  !insertmacro RemoveFirewallRule ${PROTOCOL}
  nsExec::Exec 'netsh advfirewall firewall add rule name="${NAME} (${PROTOCOL})" dir=in action=allow program="$INSTDIR\${EXE}" protocol=${PROTOCOL} localport=${SERVICE_PORT} remoteip=localsubnet profile=private,domain'
  Pop $0
!macroend

Section "-${NAME}"
  ; The new program asks any running copy, wherever it was started from, to quit.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\${EXE}" "${PROGRAM}"
  ExecWait '"$PLUGINSDIR\${EXE}" -quit'
  !insertmacro WaitUntilNoServerRuns

  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${EXE}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon '"$INSTDIR\${EXE}",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0

  !insertmacro AllowFromLocalSubnet TCP
  !insertmacro AllowFromLocalSubnet UDP
SectionEnd

; The program's own option puts its shortcut in the Startup folder; -quit ends it at once
; instead of starting the server from the installer.
Section "Start ${NAME} when I log on" AUTOSTART
  ExecWait '"$INSTDIR\${EXE}" -autostart -quit'
SectionEnd

; Unticked, an earlier install's Startup shortcut goes too (the program's own -noautostart would
; start the server after deleting it). The shortcut is the user's own, not all users'.
Section "-Not at log-on"
  ${IfNot} ${SectionIsSelected} ${AUTOSTART}
    SetShellVarContext current
    Delete "$SMSTARTUP\Quorvane Palvenor Server.lnk"
    SetShellVarContext all
  ${EndIf}
SectionEnd

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; A silent install starts at log-on too, unless told /NOAUTOSTART.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${AUTOSTART}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Started through Explorer, so that the server runs as the user and not with the installer's
; administrator rights.
Function StartServer
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EXE}"'
FunctionEnd

Section "Uninstall"
  ; The program deletes its Startup shortcut and asks the running copy to quit.
  ExecWait '"$INSTDIR\${EXE}" -uninstall'
  !insertmacro WaitUntilNoServerRuns

  !insertmacro RemoveFirewallRule TCP
  !insertmacro RemoveFirewallRule UDP
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folder goes last, so that once it is gone the uninstall has done everything.
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
