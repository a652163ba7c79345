; The installer for Windows users, built by tools/package.sh (through the `installer` target of
; the windows preset), which defines VERSION, PROGRAM, ICON and OUTFILE, and the program's own
; SERVICE_PORT and INSTANCE_SEMAPHORE, read from its source.
;
; Per machine into Program Files (or a new folder of the user's choice, which only administrators
; may then change), a Start-menu shortcut, an Apps & Features entry, two inbound firewall rules for
; port 4026 from the local subnet only, and the choice of a start at log-on, which each user's copy
; applies. A running copy is asked to quit and waited for before any file is replaced, and again
; before the uninstaller removes anything; no step with the installer's rights runs a program from
; the install folder.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
; The same sources give the same bytes: no file's time is stored.
SetDateSave off

; Given SIGN (a command that signs the file named last, in place), the program is signed before it
; goes in, and the uninstaller and the installer as they are made; a failing command stops the build.
!ifdef SIGN
  !system '${SIGN} "${PROGRAM}"' = 0
  !finalize '${SIGN} "%1"' = 0
  !uninstfinalize '${SIGN} "%1"' = 0
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define NAME "${PRODUCT_NAME_TEXT}"
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
!define MUI_FINISHPAGE_RUN_TEXT "$(START_NOW)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartServer
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckChosenFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; Every language of the program's, with the installer's own texts, from the language files; the
; first is the default, and NSIS shows the one of the user's own Windows language.
!include "${LANGUAGES}"

Var WasRunning  ; a copy ran before the install, and runs again after it
Var LogFile     ; the log's handle, and its path in the temporary folder
Var LogPath
Var FolderRights  ; the folder's security descriptor while the setup takes the folder
Var FailCode      ; the exit code of a setup that stops: 2 a copy still runs, 3 the folder is refused

; Writes a line to the log, which tells a user who reports a failure what was done.
!macro Log TEXT
  FileWrite $LogFile "${TEXT}$\r$\n"
!macroend

; The functions that both the installer and the uninstaller use, once for each (the uninstaller's
; start with "un.").
!macro SharedFunctions UN WHAT
Function ${UN}OpenLog
  StrCpy $LogPath "$TEMP\${NAME} ${WHAT}.log"
  FileOpen $LogFile $LogPath w
  !insertmacro Log "${NAME} ${VERSION}: ${WHAT} in $INSTDIR"
FunctionEnd

; Ends the setup with exit code $FailCode (2, a running copy did not quit, unless told otherwise),
; telling where the log is, with nothing more replaced or removed.
Function ${UN}Fail
  !insertmacro Log "stopped"
  FileClose $LogFile
  MessageBox MB_ICONSTOP "$(STOPPED)" /SD IDOK
  ${IfThen} $FailCode == "" ${|} StrCpy $FailCode 2 ${|}
  SetErrorLevel $FailCode
  Quit
FunctionEnd

; $R1 is 0 once no copy holds the named semaphore, which goes with its process; gives up after 15 s.
Function ${UN}WaitUntilNoServerRuns
  ${For} $R0 1 150
    System::Call 'kernel32::OpenSemaphoreW(i 0x00100000, i 0, w "${INSTANCE_SEMAPHORE_NAME}") p.R1'
    ${If} $R1 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R1)'
    Sleep 100
  ${Next}
FunctionEnd

; Asks the running copy to quit as its own -quit does, without running any program, and waits for
; every copy to be gone. One that stays (it hangs, or it belongs to another signed-in user, whose
; window cannot be seen from here) stops the setup before any file is replaced or removed.
Function ${UN}StopServer
  StrCpy $WasRunning 0
  retry:
    FindWindow $0 "" "${STATUS_WINDOW_TITLE_TEXT}"
    ${If} $0 <> 0
      StrCpy $WasRunning 1
      System::Call 'user32::PostMessageW(p r0, i ${QUIT_REQUEST_MESSAGE}, p 0, p 0)'
      !insertmacro Log "asked the running copy to quit"
    ${EndIf}
    Call ${UN}WaitUntilNoServerRuns
    ${If} $R1 <> 0
      !insertmacro Log "a running copy did not quit within 15 seconds"
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(STILL_RUNNING)" /SD IDCANCEL IDRETRY retry
      Call ${UN}Fail
    ${EndIf}
FunctionEnd
!macroend
!insertmacro SharedFunctions "" setup
!insertmacro SharedFunctions "un." uninstall

!macro RemoveFirewallRule PROTOCOL
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${FIREWALL_${PROTOCOL}_RULE}"'
  Pop $0
!macroend

; Inbound port 4026 for the installed program, from the local subnet only, on private and domain
; networks, so that Windows does not prompt at the first connection and nothing farther away
; reaches the port.
!macro AllowFromLocalSubnet PROTOCOL
  !insertmacro RemoveFirewallRule ${PROTOCOL}
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${FIREWALL_${PROTOCOL}_RULE}" dir=in action=allow program="$INSTDIR\${EXE}" protocol=${PROTOCOL} localport=${SERVICE_PORT} remoteip=localsubnet profile=private,domain'
  Pop $0
  !insertmacro Log "firewall rule ${PROTOCOL}: $0"
!macroend

; $R3 is 1 when $R1 is owned by Administrators, SYSTEM or TrustedInstaller, or by the account that
; runs this elevated setup (an administrator), else 0: nothing a standard user owns.
Function IsOwnedByAdministrators
  StrCpy $R3 0
  System::Call 'advapi32::GetNamedSecurityInfoW(w R1, i 1, i 1, *p .R4, p 0, p 0, p 0, *p .R5) i .R6'
  ${If} $R6 <> 0
    Return
  ${EndIf}
  System::Call 'advapi32::IsWellKnownSid(p R4, i 26) i .R3'
  ${If} $R3 = 0
    System::Call 'advapi32::IsWellKnownSid(p R4, i 22) i .R3'
  ${EndIf}
  ${If} $R3 = 0
    System::Call 'advapi32::ConvertStringSidToSidW(w "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", *p .R7) i .R6'
    ${If} $R6 <> 0
      System::Call 'advapi32::EqualSid(p R4, p R7) i .R3'
      System::Call 'kernel32::LocalFree(p R7)'
    ${EndIf}
  ${EndIf}
  ${If} $R3 = 0
    System::Call 'kernel32::GetCurrentProcess() p .R7'
    System::Call 'advapi32::OpenProcessToken(p R7, i 8, *p .R7) i .R6'
    ${If} $R6 <> 0
      System::Alloc 256
      Pop $R8
      System::Call 'advapi32::GetTokenInformation(p R7, i 1, p R8, i 256, *i .R9) i .R6'
      ${If} $R6 <> 0
        System::Call '*$R8(p .R9)'
        System::Call 'advapi32::EqualSid(p R4, p R9) i .R3'
      ${EndIf}
      System::Free $R8
      System::Call 'kernel32::CloseHandle(p R7)'
    ${EndIf}
  ${EndIf}
  ${If} $R3 <> 0
    StrCpy $R3 1
  ${EndIf}
  System::Call 'kernel32::LocalFree(p R5)'
FunctionEnd

; $R0 is the reason $R1 and the folders above it may not hold the program, or "": none may be a
; link or junction (the folder would be elsewhere), none may be owned by a standard user (who could
; move the installed folder aside and put another in its place), and none may be inside a user's
; profile, which its user may change.
Function CheckPathUp
  StrCpy $R0 ""
  ${Do}
    System::Call 'kernel32::GetFileAttributesW(w R1) i .R2'
    ${If} $R2 <> -1
      IntOp $R2 $R2 & 0x400
      ${If} $R2 <> 0
        StrCpy $R0 "a folder on its way is a link: $R1"
        Return
      ${EndIf}
      Call IsOwnedByAdministrators
      ${If} $R3 = 0
        StrCpy $R0 "a standard user may change $R1"
        Return
      ${EndIf}
    ${EndIf}
    ${GetParent} "$R1" $R1
  ${LoopUntil} $R1 == ""
  StrCpy $R2 0
  ${Do}
    EnumRegKey $R3 HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList" $R2
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $R4 HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\$R3" ProfileImagePath
    ExpandEnvStrings $R4 "$R4\"
    StrLen $R5 $R4
    StrCpy $R6 "$INSTDIR\" $R5
    ${If} $R4 != "\"
    ${AndIf} $R6 == $R4
      StrCpy $R0 "the folder is inside a user's profile"
      Return
    ${EndIf}
    IntOp $R2 $R2 + 1
  ${Loop}
FunctionEnd

; A quick look on the folder page: a folder that exists and is not this program's own is refused
; at once. The setup judges the folder again as it takes it (TakeFolder), after every running copy
; has ended: by then a standard user may have made it.
Function CheckChosenFolder
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} ${FileExists} "$INSTDIR\*"
  ${AndIf} $R2 != $INSTDIR
    MessageBox MB_ICONEXCLAMATION "$(FOLDER_NOT_EMPTY)"
    Abort
  ${EndIf}
FunctionEnd

; Stops the setup, with nothing changed and exit code 3, for the reason in $R0.
Function RefuseFolder
  !insertmacro Log "not installed in $INSTDIR: $R0"
  MessageBox MB_ICONSTOP "$(FOLDER_NOT_EMPTY)" /SD IDOK
  StrCpy $FailCode 3
  Call Fail
FunctionEnd

; The folder's security descriptor, whole: Administrators own it, Administrators and SYSTEM may
; change it, users may read and run; nothing is inherited from the folder above (a folder outside
; Program Files inherits "Authenticated Users: Modify" from the drive). Well-known identifiers, so
; that any language of Windows takes them. $R2 is the descriptor, or 0.
Function MakeFolderDescriptor
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", i 1, *p .R2, p 0) i .R3'
  ${If} $R3 = 0
    StrCpy $R2 0
  ${EndIf}
FunctionEnd

; A new install creates the folder itself, with its descriptor in place, so that nothing can open
; it in between; one that exists by now was made by someone else, and is refused.
Function CreateNewFolder
  ${GetParent} "$INSTDIR" $R1
  Call CheckPathUp
  ${IfThen} $R0 != "" ${|} Return ${|}
  CreateDirectory "$R1"
  ; SECURITY_ATTRIBUTES: the length, padding, the descriptor, whether handles are inherited, padding.
  System::Call '*(i 24, i 0, p $FolderRights, i 0, i 0) p .R4'
  System::Call 'kernel32::CreateDirectoryW(w "$INSTDIR", p R4) i .R3 ?e'
  Pop $R5
  System::Free $R4
  ${If} $R3 = 0
    ${If} $R5 = 183
      StrCpy $R0 "the folder exists already"
    ${Else}
      StrCpy $R0 "the folder could not be created (error $R5)"
    ${EndIf}
    Return
  ${EndIf}
  !insertmacro Log "folder created with its rights: $R3"
FunctionEnd

; An upgrade goes only into this program's own recorded folder: no link on its way, owned by
; Administrators, its descriptor set again whole, and then holding nothing but what the setup put
; there, whose files are written anew so that they take only what the folder passes on.
Function SecureOwnFolder
  StrCpy $R1 "$INSTDIR"
  Call CheckPathUp
  ${IfThen} $R0 != "" ${|} Return ${|}
  ; OWNER, DACL and PROTECTED_DACL: the descriptor replaces the folder's own.
  System::Call 'advapi32::SetFileSecurityW(w "$INSTDIR", i 0x80000005, p $FolderRights) i .R3'
  !insertmacro Log "rights of the folder set again: $R3"
  ${If} $R3 = 0
    StrCpy $R0 "its rights could not be set"
    Return
  ${EndIf}
  FindFirst $R3 $R4 "$INSTDIR\*"
  ${DoWhile} $R4 != ""
    ${If} $R4 != "."
    ${AndIf} $R4 != ".."
    ${AndIf} $R4 != "${EXE}"
    ${AndIf} $R4 != "${UNINSTALLER}"
      StrCpy $R0 "the folder holds a file the setup did not install: $R4"
      ${Break}
    ${EndIf}
    FindNext $R3 $R4
  ${Loop}
  FindClose $R3
  ${IfThen} $R0 != "" ${|} Return ${|}
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
FunctionEnd

; Judges the folder and takes it in one step, once no copy runs: only Administrators and SYSTEM
; may change it and what it holds before any file is written there; otherwise a standard user
; could replace the program or put a library beside it, and be given the rights of whoever runs
; it next (the elevated copy that mends the firewall among them).
Function TakeFolder
  Call MakeFolderDescriptor
  ${If} $R2 = 0
    !insertmacro Log "the folder's rights could not be made"
    Call Fail
  ${EndIf}
  StrCpy $FolderRights $R2
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} $R1 == $INSTDIR
  ${AndIf} ${FileExists} "$INSTDIR\*"
    Call SecureOwnFolder
  ${Else}
    Call CreateNewFolder
  ${EndIf}
  System::Call 'kernel32::LocalFree(p $FolderRights)'
  ${If} $R0 != ""
    Call RefuseFolder
  ${EndIf}
FunctionEnd

; The program can be replaced only when no copy runs it: one of another signed-in user, whose
; window cannot be seen from here, holds it open. Nothing is replaced then.
Function CheckProgramReplaceable
  retry:
    ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $R0 "$INSTDIR\${EXE}" a
    ${IfNot} ${Errors}
      FileClose $R0
      Return
    ${EndIf}
    !insertmacro Log "the program cannot be replaced: a copy still runs it"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(STILL_RUNNING)" /SD IDCANCEL IDRETRY retry
    Call Fail
FunctionEnd

Section "-${NAME}"
  Call OpenLog
  Call StopServer
  Call CheckProgramReplaceable
  Call TakeFolder

  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${EXE}"
  !insertmacro Log "files written"

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

; The choice is left for the machine, marked anew at each install: the program applies it once for
; each user who starts it, in that user's own Startup folder. The installer's rights are often
; another account's, whose Startup folder is the wrong one.
Section "$(AUTOSTART_SECTION)" AUTOSTART
SectionEnd

Section "-Start at log-on or not"
  ${If} ${SectionIsSelected} ${AUTOSTART}
    WriteRegDWORD HKLM "${SETTINGS_KEY}" "${START_AT_LOGON_VALUE}" 1
  ${Else}
    WriteRegDWORD HKLM "${SETTINGS_KEY}" "${START_AT_LOGON_VALUE}" 0
  ${EndIf}
  System::Call 'kernel32::GetSystemTimeAsFileTime(*l .r0)'
  WriteRegStr HKLM "${SETTINGS_KEY}" "${CHOICE_MARK_VALUE}" $0
  !insertmacro Log "start at log-on: $0"
  ; A copy that ran before runs again, as the user at the desktop.
  ${If} $WasRunning = 1
    Call StartServer
  ${EndIf}
  !insertmacro Log "done"
  FileClose $LogFile
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

; Started through Explorer, so that the server runs as the user at the desktop and not with the
; installer's administrator rights.
Function StartServer
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EXE}"'
FunctionEnd

; Deletes $R5 only when it is a plain file reached through no link: a standard user could otherwise
; turn their Startup folder into a junction (and the name into a link) and have the uninstaller,
; with its rights, delete any file. The file is opened without following a link at its end, the
; path the handle really reached is compared with the one asked for (a junction on the way leads
; elsewhere), and the file is deleted through that same handle, so nothing can be swapped between
; the check and the delete.
Function un.DeletePlainFile
  ; DELETE | FILE_READ_ATTRIBUTES, every sharing mode, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT.
  System::Call 'kernel32::CreateFileW(w R5, i 0x10080, i 7, p 0, i 3, i 0x00200000, p 0) p .R6'
  ${If} $R6 = -1
    Return  ; nothing there, or a folder on the way is missing
  ${EndIf}
  System::Call 'kernel32::GetFinalPathNameByHandleW(p R6, w .R7, i ${NSIS_MAX_STRLEN}, i 0) i .R8'
  ; BY_HANDLE_FILE_INFORMATION's first field: the attributes.
  System::Alloc 52
  Pop $R9
  System::Call 'kernel32::GetFileInformationByHandle(p R6, p R9) i .R8'
  System::Call '*$R9(i .R8)'
  System::Free $R9
  IntOp $R8 $R8 & 0x410  ; a folder, or a link
  ${If} $R7 != "\\?\$R5"
    !insertmacro Log "not followed: $R5 leads to $R7"
  ${ElseIf} $R8 <> 0
    !insertmacro Log "not followed: $R5 is a link"
  ${Else}
    ; FILE_DISPOSITION_INFO { DeleteFile = TRUE }, FileDispositionInfo (4).
    System::Call '*(i 1) p .R9'
    System::Call 'kernel32::SetFileInformationByHandle(p R6, i 4, p R9, i 4) i .R8'
    System::Free $R9
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p R6)'
FunctionEnd

; Every user's Startup shortcut, in each profile the machine knows.
Function un.RemoveStartupShortcuts
  StrCpy $R2 0
  ${Do}
    EnumRegKey $R3 HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList" $R2
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $R4 HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\$R3" ProfileImagePath
    ExpandEnvStrings $R4 $R4
    StrCpy $R5 "$R4\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Startup\${STARTUP_SHORTCUT_TEXT}"
    Call un.DeletePlainFile
    IntOp $R2 $R2 + 1
  ${Loop}
  SetShellVarContext current
  StrCpy $R5 "$SMSTARTUP\${STARTUP_SHORTCUT_TEXT}"
  Call un.DeletePlainFile
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  Call un.OpenLog
  Call un.StopServer
  Call un.RemoveStartupShortcuts
  DeleteRegKey HKLM "${SETTINGS_KEY}"

  !insertmacro RemoveFirewallRule TCP
  !insertmacro RemoveFirewallRule UDP
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  !insertmacro Log "removed all but the folder"
  FileClose $LogFile
  ; The folder goes last, so that once it is gone the uninstall has done everything.
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
