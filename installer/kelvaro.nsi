; The Kelvaro installer: for one user, without administrator rights. It puts
; kelvaro.exe into the user's local programs folder with a Start-menu
; shortcut and, unless unticked, a shortcut in the Startup folder; both pass
; the chosen delay. Its uninstaller first ends a running Kelvaro through the
; program's own "Exit" command, then removes all that the installer made.
;
;   makensis -DPROGRAM=<kelvaro.exe> -DOUTFILE=<kelvaro-setup.exe> kelvaro.nsi

Unicode true
RequestExecutionLevel user
SetCompressor /SOLID lzma
SetDateSave off  ; no file times in the installer: the same input gives the same bytes

!define NAME "Kelvaro"
!define VERSION "1.07.001"
!define PUBLISHER "Kelvaro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvaro"
!define WINDOW_CLASS "WindowClass_0"
!define WINDOW_TITLE "About Kelvaro"
!define EXIT_COMMAND 7
!define DEFAULT_DELAY 20

!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Var Delay
Var DelayField

Page components
Page custom DelayPage DelayPageLeave
Page instfiles
UninstPage instfiles

Function .onInit
  SetShellVarContext current
  StrCpy $Delay "${DEFAULT_DELAY}"
FunctionEnd

Function DelayPage
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Kelvaro wipes copied text after this many seconds (1 to 600):"
  Pop $0
  ${NSD_CreateNumber} 0 28u 60u 12u "$Delay"
  Pop $DelayField
  ${NSD_SetTextLimit} $DelayField 3
  nsDialogs::Show
FunctionEnd

Function DelayPageLeave
  ${NSD_GetText} $DelayField $Delay
  ; Plain decimal only: NSIS would read a leading 0 as octal, the program not.
  IntOp $1 $Delay + 0
  ${If} "$1" != "$Delay"
  ${OrIf} $Delay < 1
  ${OrIf} $Delay > 600
    MessageBox MB_OK|MB_ICONEXCLAMATION "Please enter a number of seconds from 1 to 600."
    Abort
  ${EndIf}
FunctionEnd

; Ends a running Kelvaro as its own "Exit" does, so that no tray icon stays,
; and waits for it to go (ten seconds at most). The command is posted, as the
; menu posts it: a sent message would wait in the program's event queue until
; something posted woke its loop. Leaves $0 at 0 once it has gone.
!macro EndRunningKelvaro
  FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
  ${If} $0 <> 0
    System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${EXIT_COMMAND}, p 0)'
    ${For} $1 1 100
      Sleep 100
      FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
      ${IfThen} $0 = 0 ${|} ${Break} ${|}
    ${Next}
  ${EndIf}
!macroend

Section "Kelvaro" SectionProgram
  SectionIn RO
  SetShellVarContext current
  !insertmacro EndRunningKelvaro  ; a reinstall replaces the program file
  Delete "$SMSTARTUP\${NAME}.lnk"  ; made again below when that part is chosen
  SetOutPath "$INSTDIR"
  File "/oname=kelvaro.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\kelvaro.exe" "$Delay"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvaro.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start Kelvaro when I log in" SectionStartup
  SetShellVarContext current
  CreateShortcut "$SMSTARTUP\${NAME}.lnk" "$INSTDIR\kelvaro.exe" "$Delay"
SectionEnd

Function .onInstSuccess
  ${IfNot} ${Silent}
    Exec '"$INSTDIR\kelvaro.exe" $Delay'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro EndRunningKelvaro
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "Kelvaro is still running. Please end it from its tray menu and try again." /SD IDOK
    Abort
  ${EndIf}
  Delete "$SMSTARTUP\${NAME}.lnk"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$INSTDIR\kelvaro.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
