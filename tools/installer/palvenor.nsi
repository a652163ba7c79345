; The installer for Windows users, built by tools/package.sh (through the `installer` target of
; the windows preset), which defines VERSION, PROGRAM, ICON and OUTFILE, and the program's own
; SERVICE_PORT and INSTANCE_SEMAPHORE, read from its source.
;
; Per machine into Program Files (a folder of the user's choice there, which only administrators
; may create or change), a Start-menu shortcut, an Apps & Features entry, two inbound firewall rules for
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
; Its plug-ins, which the installer and the uninstaller unpack and run, come signed from the build
; (SIGNED_PLUGINS), so that application control lets them run too. The command may lie in a folder
; whose path holds spaces.
!ifdef SIGN
  !system '"${SIGN}" "${PROGRAM}"' = 0
  !finalize '"${SIGN}" "%1"' = 0
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !addplugindir /amd64-unicode "${SIGNED_PLUGINS}"
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
!define CREATED_FOLDER_VALUE "Created folder"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
; An upgrade stays where the earlier install is, unless told /D=.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" InstallLocation
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
Var CreatedFolder ; the highest folder the setup created, which the uninstaller removes once empty
; The exit code of a setup that stops: 2 a copy still runs, 3 the folder is refused, 4 any other
; failure (NSIS's own too); 1 is a cancel.
Var FailCode

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

; Ends the setup with exit code $FailCode, telling where the log is, with nothing more replaced or
; removed.
Function ${UN}Fail
  !insertmacro Log "stopped: $FailCode"
  FileClose $LogFile
  MessageBox MB_ICONSTOP "$(STOPPED)" /SD IDOK
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
      StrCpy $FailCode 2
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

; $R1 made whole, as Windows resolves it (the current folder is the system folder, so that a
; relative path or a bare drive leads nowhere a user controls), without a trailing backslash; $R2
; is 1 when it lies inside Program Files, where only administrators may create or rename a folder.
Function InsideProgramFiles
  System::Call 'kernel32::GetFullPathNameW(w R1, i ${NSIS_MAX_STRLEN}, w .R1, p 0) i .R3'
  ${Do}
    StrCpy $R3 $R1 1 -1
    ${IfThen} $R3 != "\" ${|} ${ExitDo} ${|}
    StrCpy $R1 $R1 -1
  ${Loop}
  StrCpy $R2 0
  StrLen $R3 "$PROGRAMFILES64\"
  StrCpy $R4 $R1 $R3
  StrLen $R5 $R1
  ${If} $R4 == "$PROGRAMFILES64\"
  ${AndIf} $R5 > $R3
    StrCpy $R2 1
  ${EndIf}
FunctionEnd

; The folder page: a folder outside Program Files, or one that exists and is not this program's
; own, is refused at once. The setup judges the folder again as it takes it.
Function CheckChosenFolder
  StrCpy $R1 $INSTDIR
  Call InsideProgramFiles
  ${If} $R2 = 0
    MessageBox MB_ICONEXCLAMATION "$(INSIDE_PROGRAM_FILES)"
    Abort
  ${EndIf}
  StrCpy $INSTDIR $R1
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} ${FileExists} "$INSTDIR\*"
  ${AndIf} $R2 != $INSTDIR
    MessageBox MB_ICONEXCLAMATION "$(FOLDER_NOT_EMPTY)"
    Abort
  ${EndIf}
FunctionEnd

; Stops the setup, with nothing changed and exit code 3, for the reason in $R0; $R6 is what the
; user is told.
Function RefuseFolder
  !insertmacro Log "not installed in $INSTDIR: $R0"
  MessageBox MB_ICONSTOP "$R6" /SD IDOK
  StrCpy $FailCode 3
  Call Fail
FunctionEnd

; Before anything changes: only a folder inside Program Files, and no earlier install outside it,
; which would go on starting its own copy.
Function JudgeFolderPlace
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} $R1 != ""
    Call InsideProgramFiles
    ${If} $R2 = 0
      StrCpy $R0 "an earlier install is outside Program Files, in $R1"
      StrCpy $R6 "$(EARLIER_OUTSIDE)"
      Call RefuseFolder
    ${EndIf}
  ${EndIf}
  StrCpy $R1 $INSTDIR
  Call InsideProgramFiles
  ${If} $R2 = 0
    StrCpy $R0 "the folder is outside Program Files"
    StrCpy $R6 "$(INSIDE_PROGRAM_FILES)"
    Call RefuseFolder
  ${EndIf}
  StrCpy $INSTDIR $R1
FunctionEnd

; The folder's security descriptor, whole: Administrators own it, Administrators and SYSTEM may
; change it, users may read and run. Well-known identifiers, so that any language of Windows takes
; them. $R2 is the descriptor, or 0.
Function MakeFolderDescriptor
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", i 1, *p .R2, p 0) i .R3'
  ${If} $R3 = 0
    StrCpy $R2 0
  ${EndIf}
FunctionEnd

; A new install creates the folder, and each missing folder above it, itself, with its descriptor
; in place; one that appears meanwhile was made by someone else, and is refused. The highest folder
; created is recorded, for the uninstaller to remove once empty.
Function CreateNewFolder
  ${If} ${FileExists} "$INSTDIR\*"
    StrCpy $R0 "the folder exists already"
    Return
  ${EndIf}
  StrCpy $R1 $INSTDIR
  StrCpy $R7 0
  ${DoUntil} ${FileExists} "$R1\*"
    Push $R1
    IntOp $R7 $R7 + 1
    StrCpy $CreatedFolder $R1
    ${GetParent} "$R1" $R1
  ${Loop}
  ; SECURITY_ATTRIBUTES: the length, padding, the descriptor, whether handles are inherited, padding.
  System::Call '*(i 24, i 0, p $FolderRights, i 0, i 0) p .R4'
  ${For} $R8 1 $R7
    Pop $R1
    ${If} $R0 == ""
      System::Call 'kernel32::CreateDirectoryW(w R1, p R4) i .R3 ?e'
      Pop $R5
      ${If} $R3 = 0
        StrCpy $R0 "$R1 could not be created (error $R5)"
        ${IfThen} $R5 = 183 ${|} StrCpy $R0 "$R1 appeared while the setup made it" ${|}
      ${EndIf}
    ${EndIf}
  ${Next}
  System::Free $R4
  ${IfThen} $R0 == "" ${|} !insertmacro Log "folder created with its rights, from $CreatedFolder" ${|}
FunctionEnd

; An upgrade goes only into this program's own recorded folder: its descriptor set again whole,
; and then holding nothing but what the setup put there.
Function SecureOwnFolder
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
FunctionEnd

; Takes the folder, once no copy runs: only Administrators and SYSTEM may change it and what it
; holds before any file is written there.
Function TakeFolder
  Call MakeFolderDescriptor
  ${If} $R2 = 0
    !insertmacro Log "the folder's rights could not be made"
    StrCpy $FailCode 4
    Call Fail
  ${EndIf}
  StrCpy $FolderRights $R2
  StrCpy $R0 ""
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} $R1 == $INSTDIR
  ${AndIf} ${FileExists} "$INSTDIR\*"
    Call SecureOwnFolder
    ReadRegStr $CreatedFolder HKLM "${UNINSTALL_KEY}" "${CREATED_FOLDER_VALUE}"
  ${Else}
    Call CreateNewFolder
  ${EndIf}
  System::Call 'kernel32::LocalFree(p $FolderRights)'
  ${If} $R0 != ""
    StrCpy $R6 "$(FOLDER_NOT_EMPTY)"
    Call RefuseFolder
  ${EndIf}
FunctionEnd

; The program can be replaced only when no copy runs it: one of another signed-in user, whose
; window cannot be seen from here, holds it open. Only an existing file is opened, never through
; a link at its end (GENERIC_WRITE, no sharing, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT).
Function CheckProgramReplaceable
  retry:
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${EXE}", i 0x40000000, i 0, p 0, i 3, i 0x00200000, p 0) p .R0 ?e'
    Pop $R1
    ${If} $R0 <> -1
      System::Call 'kernel32::CloseHandle(p R0)'
      Return
    ${EndIf}
    ${IfThen} $R1 = 2 ${|} Return ${|}  ; none there: a new install
    !insertmacro Log "the program cannot be replaced: a copy still runs it"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(STILL_RUNNING)" /SD IDCANCEL IDRETRY retry
    StrCpy $FailCode 2
    Call Fail
FunctionEnd

Section "-${NAME}"
  Call OpenLog
  Call JudgeFolderPlace
  Call StopServer
  Call TakeFolder
  Call CheckProgramReplaceable
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"

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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "${CREATED_FOLDER_VALUE}" "$CreatedFolder"
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
  SetOutPath $SYSDIR  ; before any path is read: a relative one leads nowhere a user controls
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
  SetOutPath $SYSDIR
FunctionEnd

; NSIS's own failure (a file it could not write) ends with the code of any other failure.
Function .onInstFailed
  SetErrorLevel 4
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
  ; DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, every sharing mode, OPEN_EXISTING,
  ; FILE_FLAG_OPEN_REPARSE_POINT.
  System::Call 'kernel32::CreateFileW(w R5, i 0x10180, i 7, p 0, i 3, i 0x00200000, p 0) p .R6 ?e'
  Pop $R7
  ${If} $R6 = -1
    !insertmacro Log "not deleted: $R5 (error $R7)"  ; 2 or 3: nothing there
    Return
  ${EndIf}
  System::Call 'kernel32::GetFinalPathNameByHandleW(p R6, w .R7, i ${NSIS_MAX_STRLEN}, i 0) i .R8'
  ; BY_HANDLE_FILE_INFORMATION's first field: the attributes.
  System::Alloc 52
  Pop $R9
  System::Call 'kernel32::GetFileInformationByHandle(p R6, p R9) i .R8'
  System::Call '*$R9(i .R4)'
  System::Free $R9
  IntOp $R8 $R4 & 0x410  ; a folder, or a link
  ${If} $R7 != "\\?\$R5"
    !insertmacro Log "not followed: $R5 leads to $R7"
  ${ElseIf} $R8 <> 0
    !insertmacro Log "not followed: $R5 is a link"
  ${Else}
    ; A read-only file refuses its deletion: the attribute is cleared first, through the same
    ; handle. FILE_BASIC_INFO: four times (0 keeps each), the attributes (NORMAL when none are left).
    IntOp $R8 $R4 & 1
    ${If} $R8 <> 0
      IntOp $R4 $R4 & 0xFFFFFFFE
      ${IfThen} $R4 = 0 ${|} StrCpy $R4 0x80 ${|}
      System::Call '*(l 0, l 0, l 0, l 0, i R4, i 0) p .R9'
      System::Call 'kernel32::SetFileInformationByHandle(p R6, i 0, p R9, i 40) i .R8'
      System::Free $R9
    ${EndIf}
    ; FILE_DISPOSITION_INFO { DeleteFile = TRUE }, FileDispositionInfo (4).
    System::Call '*(i 1) p .R9'
    System::Call 'kernel32::SetFileInformationByHandle(p R6, i 4, p R9, i 4) i .R8 ?e'
    Pop $R4
    System::Free $R9
    ${If} $R8 <> 0
      !insertmacro Log "deleted: $R5"
    ${Else}
      !insertmacro Log "not deleted: $R5 (error $R4)"
    ${EndIf}
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
  ReadRegStr $CreatedFolder HKLM "${UNINSTALL_KEY}" "${CREATED_FOLDER_VALUE}"

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
  ; The folders above it that the setup created, each only once empty.
  StrCpy $R1 $INSTDIR
  ${If} $CreatedFolder != ""
    ${Do}
      ${IfThen} $R1 == $CreatedFolder ${|} ${ExitDo} ${|}
      ${GetParent} "$R1" $R1
      ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
      RMDir "$R1"
    ${Loop}
  ${EndIf}
SectionEnd
