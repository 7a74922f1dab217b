; The Kiv installer for Windows: installs Kiv for the current user, without
; administrator rights, into %LOCALAPPDATA%\Programs\Kiv, with a Start-menu
; shortcut and, when the user wants it, a start at log-on. Built by makensis
; from packaging/windows/CMakeLists.txt (bash scripts/package.sh win32),
; which defines:
;   VERSION       7.0.0
;   VERSION_QUAD  7.0.0.0
;   STAGE         the folder holding the files to install
;   ICON          the program's icon
;   COPYRIGHT     the licence's copyright line
;   OUTFILE       the installer to write
;
; Command line (besides NSIS's own /S for a silent run and /D=FOLDER):
;   /LOGON=1 or /LOGON=0   start Kiv when the user logs on, or not
;   /SCHEDULE=FILE         the schedule Kiv opens when it starts at log-on
; Without them an install keeps the log-on choice of the one before it; a
; first install starts Kiv at log-on without a schedule.

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include WinMessages.nsh

!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Kiv"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kiv"
!define SHORTCUT "$SMPROGRAMS\Kiv.lnk"
; The event log source "Kiv", shared by every user of the machine: its
; messages are EventCreate.exe's, whose every message from 1 to 1000 is just
; the entry's own text, so Kiv's event numbers show as Kiv wrote them.
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Kiv"
; The class of Kiv.exe's window, hidden or not, found to end a running Kiv.
!define WINDOW_CLASS "KivForm"

Name "Kiv"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kiv"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kiv ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "Kivander"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Kiv ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

Var StartAtLogOn ; 1 or 0
Var Schedule     ; the schedule opened at log-on; empty for none
Var LogOnCheckBox
Var ScheduleLabel
Var ScheduleText
Var ScheduleBrowse

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
Page custom LogOnPage LogOnPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Kiv now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKiv
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---- Ending a running Kiv ---------------------------------------------------

; Files in use cannot be replaced or removed. Kiv ends without a question when
; another program sends its window WM_CLOSE, so unsaved changes to its schedule
; would be lost: a person is asked first, a silent run goes on.
!macro CloseRunningKiv prefix
Function ${prefix}CloseRunningKiv
  FindWindow $0 "${WINDOW_CLASS}"
  ${If} $0 = 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION \
    "Kiv is running and must end first. Changes to its schedule that are not saved will be lost.$\r$\n$\r$\nEnd Kiv now?" \
    /SD IDOK IDOK close
  Abort "Kiv is still running."
  close:
  ; Every running Kiv, and give each up to ten seconds to end.
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 = 0
      Return
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  Abort "Kiv did not end."
FunctionEnd
!macroend
!insertmacro CloseRunningKiv ""
!insertmacro CloseRunningKiv "un."

; ---- The log-on choice ----------------------------------------------------

Function .onInit
  StrCpy $StartAtLogOn 1
  StrCpy $Schedule ""
  ; An earlier install's choice stays, schedule and all.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} ${Errors}
      StrCpy $StartAtLogOn 0
    ${Else}
      ${WordFind} $0 " /o " "E+1}" $1
      ${IfNot} ${Errors}
        StrCpy $Schedule $1
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LOGON=" $1
  ${IfNot} ${Errors}
    ${If} $1 == 1
    ${OrIf} $1 == 0
      StrCpy $StartAtLogOn $1
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP "/LOGON takes 1 or 0, not $\"$1$\"." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/SCHEDULE=" $1
  ${IfNot} ${Errors}
    StrCpy $Schedule $1
  ${EndIf}
FunctionEnd

Function LogOnPage
  !insertmacro MUI_HEADER_TEXT "Start at log-on" \
    "Kiv launches its tasks only while it runs."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}

  ${NSD_CreateCheckBox} 0 0 100% 12u "Start Kiv when I log on"
  Pop $LogOnCheckBox
  ${NSD_OnClick} $LogOnCheckBox LogOnClicked
  ${NSD_CreateLabel} 0 24u 100% 20u \
    "Open this schedule when Kiv starts (leave it empty for an untitled schedule):"
  Pop $ScheduleLabel
  ${NSD_CreateText} 0 46u 78% 12u "$Schedule"
  Pop $ScheduleText
  ${NSD_CreateBrowseButton} 80% 45u 20% 14u "Browse..."
  Pop $ScheduleBrowse
  ${NSD_OnClick} $ScheduleBrowse BrowseSchedule

  ${If} $StartAtLogOn = 1
    ${NSD_Check} $LogOnCheckBox
  ${EndIf}
  Call ShowScheduleChoice
  nsDialogs::Show
FunctionEnd

; The schedule belongs to the log-on start: it can be picked only with it.
Function ShowScheduleChoice
  ${NSD_GetState} $LogOnCheckBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  EnableWindow $ScheduleLabel $0
  EnableWindow $ScheduleText $0
  EnableWindow $ScheduleBrowse $0
FunctionEnd

Function LogOnClicked
  Pop $0
  Call ShowScheduleChoice
FunctionEnd

Function BrowseSchedule
  Pop $0
  ${NSD_GetText} $ScheduleText $1
  nsDialogs::SelectFileDialog open "$1" "Kiv schedules (*.kiv)|*.kiv|All files (*.*)|*.*"
  Pop $1
  ${If} $1 != ""
    ${NSD_SetText} $ScheduleText $1
  ${EndIf}
FunctionEnd

Function LogOnPageLeave
  ${NSD_GetState} $LogOnCheckBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $StartAtLogOn 1
  ${Else}
    StrCpy $StartAtLogOn 0
  ${EndIf}
  ${NSD_GetText} $ScheduleText $Schedule
  ; Kiv takes the path after /o exactly as it stands, quotation marks too: a
  ; path that is not there would greet the user with an error at every log-on.
  ${If} $StartAtLogOn = 1
  ${AndIf} $Schedule != ""
  ${AndIfNot} ${FileExists} "$Schedule"
    MessageBox MB_YESNO|MB_ICONQUESTION \
      "There is no schedule file $\"$Schedule$\".$\r$\n$\r$\nStart Kiv with it at log-on all the same?" \
      IDYES keep
    Abort
    keep:
  ${EndIf}
FunctionEnd

; $0: the command line that starts Kiv as the user chose, with "/o " and the
; schedule unquoted, as Kiv reads it.
Function LogOnCommandLine
  ${If} $Schedule == ""
    StrCpy $0 '"$INSTDIR\Kiv.exe"'
  ${Else}
    StrCpy $0 '"$INSTDIR\Kiv.exe" /o $Schedule'
  ${EndIf}
FunctionEnd

Function StartKiv
  Call LogOnCommandLine
  Exec $0
FunctionEnd

; ---- Install and uninstall --------------------------------------------------

Section "Kiv"
  Call CloseRunningKiv
  SetOutPath "$INSTDIR"
  File "${STAGE}/Kiv.exe"
  File "${STAGE}/kiv-help.html"
  File "${STAGE}/LICENSE.txt"
  !if /FileExists "${STAGE}/kivctl.exe"
    File "${STAGE}/kivctl.exe"
  !endif
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\Kiv.exe" "" "$INSTDIR\Kiv.exe" 0 \
    SW_SHOWNORMAL "" "Database administration task scheduler"

  ${If} $StartAtLogOn = 1
    Call LogOnCommandLine
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" $0
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  ; Listed under the installed programs of this user.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kiv"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kiv developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kiv.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Only an installer run as administrator may register the event source;
  ; without it Windows keeps Kiv's entries all the same, with a generic text.
  WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" \
    "%SystemRoot%\System32\EventCreate.exe"
  WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7
  ClearErrors
SectionEnd

; Removes what the installer put there and nothing else: the user's schedules
; and the settings Kiv keeps under HKCU\Software\Kiv stay.
Section "Uninstall"
  Call un.CloseRunningKiv
  Delete "$INSTDIR\Kiv.exe"
  Delete "$INSTDIR\kivctl.exe"
  Delete "$INSTDIR\kiv-help.html"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: a schedule saved here stays.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The event source stays: the other users of the machine may run Kiv.
SectionEnd
