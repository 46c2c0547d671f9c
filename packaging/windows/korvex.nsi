; Korvex's Windows setup: a per-user install into the user's own programs folder, with no
; administrator rights asked. The program keeps Korvex.ini, the log and the images beside itself,
; so the folder must be the operator's to write in.
;
; makensis -DVERSION=1.0.0 -DKORVEX_EXE=... -DTOOL_EXE=... -DSOURCE_DIR=... -DOUT_FILE=... korvex.nsi
;
; Silent install: korvex-setup-<version>.exe /S [/D=folder]. Silent removal: Uninstall.exe /S
; (add /REMOVEDATA to remove the settings, the log and the images as well).

; A 64-bit setup for the 64-bit program (and Wine without its 32-bit half runs it).
Target amd64-unicode
!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!ifndef VERSION | KORVEX_EXE | TOOL_EXE | SOURCE_DIR | OUT_FILE
  !error "VERSION, KORVEX_EXE, TOOL_EXE, SOURCE_DIR and OUT_FILE must be defined"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvex"
; The class of the running program's hidden window; WM_CLOSE to it is an orderly exit.
!define KORVEX_WINDOW_CLASS "KorvexMessageWindow"

Name "Korvex"
OutFile "${OUT_FILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Korvex"
InstallDirRegKey HKCU "Software\Korvex" "InstallDir"
SetCompressor /SOLID lzma
!ifdef ICON_FILE
  !define MUI_ICON "${ICON_FILE}"
  !define MUI_UNICON "${ICON_FILE}"
!endif
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"

!define MUI_ABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvex.exe"
!insertmacro MUI_PAGE_WELCOME
!ifdef LICENSE_FILE
  !insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!endif
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.DataPage un.DataPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Hebrew"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Korvex"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Korvex setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Korvex"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "© 2026 The Korvex developers"

LangString SecProgramName ${LANG_ENGLISH} "Korvex"
LangString SecProgramName ${LANG_HEBREW} "קורבקס"
LangString SecStartupName ${LANG_ENGLISH} "Start with Windows"
LangString SecStartupName ${LANG_HEBREW} "הפעלה עם הפעלת Windows"
LangString UninstallName ${LANG_ENGLISH} "Uninstall Korvex"
LangString UninstallName ${LANG_HEBREW} "הסרת קורבקס"
LangString StopRunning ${LANG_ENGLISH} "Korvex is running. It will be closed to continue."
LangString StopRunning ${LANG_HEBREW} "קורבקס פועל כעת. הוא ייסגר כדי להמשיך."
LangString StillRunning ${LANG_ENGLISH} "Korvex did not close. Close it from its tray menu and try again."
LangString StillRunning ${LANG_HEBREW} "קורבקס לא נסגר. סגרו אותו מתפריט המגש ונסו שוב."
LangString DataTitle ${LANG_ENGLISH} "Your data"
LangString DataTitle ${LANG_HEBREW} "הנתונים שלך"
LangString DataSubtitle ${LANG_ENGLISH} "The settings, the cheque log and the images are kept unless you choose otherwise."
LangString DataSubtitle ${LANG_HEBREW} "ההגדרות, יומן הצ'קים והתמונות נשמרים אלא אם תבחרו אחרת."
LangString RemoveData ${LANG_ENGLISH} "Also remove the settings (Korvex.ini), the log (Log.CSV) and the images"
LangString RemoveData ${LANG_HEBREW} "הסר גם את ההגדרות (Korvex.ini), את היומן (Log.CSV) ואת התמונות"

; Closes a running Korvex the orderly way (its watchdog then stays away), asking first unless
; silent. Aborts when it does not go.
!macro StopRunningKorvex un
Function ${un}StopRunningKorvex
  FindWindow $0 "${KORVEX_WINDOW_CLASS}"
  ${If} $0 = 0
    Return
  ${EndIf}
  ${IfNot} ${Silent}
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(StopRunning)" /SD IDOK IDOK +2
    Abort
  ${EndIf}
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  StrCpy $1 0
  ${Do}
    Sleep 200
    IntOp $1 $1 + 1
    FindWindow $0 "${KORVEX_WINDOW_CLASS}"
    ${IfThen} $1 >= 50 ${|} ${ExitDo} ${|}
  ${LoopUntil} $0 = 0
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort
  ${EndIf}
FunctionEnd
!macroend
!insertmacro StopRunningKorvex ""
!insertmacro StopRunningKorvex "un."

Function .onInit
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Section "!$(SecProgramName)" SecProgram
  SectionIn RO
  Call StopRunningKorvex
  SetOutPath "$INSTDIR"
  File "/oname=korvex.exe" "${KORVEX_EXE}"
  File "/oname=korvex-tool.exe" "${TOOL_EXE}"
  ; The sample branch table is the operator's to replace: an upgrade keeps theirs.
  SetOverwrite off
  File "${SOURCE_DIR}/src/resources/banks_branches.txt"
  SetOverwrite on
  SetOutPath "$INSTDIR\netpbm"
  File "${SOURCE_DIR}/src/resources/netpbm/*.bat"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Korvex"
  CreateShortcut "$SMPROGRAMS\Korvex\Korvex.lnk" "$INSTDIR\korvex.exe"
  CreateShortcut "$SMPROGRAMS\Korvex\$(UninstallName).lnk" "$INSTDIR\Uninstall.exe"
  ; Made again below when still chosen.
  Delete "$SMSTARTUP\Korvex.lnk"

  WriteRegStr HKCU "Software\Korvex" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Korvex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Korvex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvex.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Started with the session in launcher mode: a watchdog starts Korvex again if it ever ends
; without an orderly exit.
Section "$(SecStartupName)" SecStartup
  CreateShortcut "$SMSTARTUP\Korvex.lnk" "$INSTDIR\korvex.exe" "/ANTICRASH"
SectionEnd

Var RemoveData
Var RemoveDataBox

Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
  StrCpy $RemoveData ${BST_UNCHECKED}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVEDATA" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveData ${BST_CHECKED}
  ${EndIf}
FunctionEnd

Function un.DataPage
  !insertmacro MUI_HEADER_TEXT "$(DataTitle)" "$(DataSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 24u "$(RemoveData)"
  Pop $RemoveDataBox
  ${NSD_SetState} $RemoveDataBox $RemoveData
  nsDialogs::Show
FunctionEnd

Function un.DataPageLeave
  ${NSD_GetState} $RemoveDataBox $RemoveData
FunctionEnd

Section "Uninstall"
  Call un.StopRunningKorvex
  Delete "$INSTDIR\korvex.exe"
  Delete "$INSTDIR\korvex-tool.exe"
  Delete "$INSTDIR\netpbm\*.bat"
  ; What the program makes for itself as it runs.
  Delete "$INSTDIR\netpbm\tmp*.*"
  Delete "$INSTDIR\Korvex.watchtemp"
  Delete "$INSTDIR\Korvex.shutdown"
  Delete "$INSTDIR\Uninstall.exe"
  ${If} $RemoveData == ${BST_CHECKED}
    RMDir /r "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR\netpbm"
    RMDir "$INSTDIR"
  ${EndIf}
  Delete "$SMPROGRAMS\Korvex\*.lnk"
  RMDir "$SMPROGRAMS\Korvex"
  Delete "$SMSTARTUP\Korvex.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Korvex"
SectionEnd
