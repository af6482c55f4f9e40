; The Vossel installer. Built by scripts/package.sh:
;   makensis -DVERSION=2.2 -DFILEVERSION=2.2.0.0 -DEXE=... -DHELP=... -DICON=... -DOUTFILE=... vossel.nsi
;
; Installs vossel.exe and its help page into Program Files\Vossel with a Start
; menu shortcut and an uninstaller. Both run silently with /S. The uninstaller
; keeps the user's settings unless its "Settings" component is chosen, or
; /REMOVESETTINGS is given on its command line.

; vossel.exe is a 64-bit program, so its installer is one too.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define APP "Vossel"
!define MAKER "Quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vossel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Quorvane\Vossel"
!ifndef SC_CLOSE
!define SC_CLOSE 0xF060
!endif
!define SYNCHRONIZE 0x00100000

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
BrandingText "${APP} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${FILEVERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; No "start it now" box: it would start the bar with the installer's
; administrator rights, and files dragged from Explorer could not be dropped on it.
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends a running Vossel: the system Close command to its window, then a wait
; for its process, so that its files can go and it saves its settings.
!macro CloseRunningVossel un
Function ${un}CloseRunningVossel
    StrCpy $R0 0
    ${Do}
        System::Call 'user32::FindWindowW(w "#32770", w "${APP}") p .r0'
        ${IfThen} $0 P= 0 ${|} ${ExitDo} ${|}
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
        DetailPrint "Closing the running ${APP}"
        System::Call 'user32::PostMessageW(p r0, i ${WM_SYSCOMMAND}, p ${SC_CLOSE}, p 0)'
        ${If} $2 P<> 0
            System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i .r3'
            System::Call 'kernel32::CloseHandle(p r2)'
        ${Else}
            Sleep 1000
        ${EndIf}
        IntOp $R0 $R0 + 1
    ${LoopUntil} $R0 >= 3
FunctionEnd
!macroend
!insertmacro CloseRunningVossel ""
!insertmacro CloseRunningVossel "un."

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${APP}" SecApp
    SectionIn RO
    Call CloseRunningVossel
    SetOutPath "$INSTDIR"
    File "/oname=vossel.exe" "${EXE}"
    File "/oname=vossel-help.html" "${HELP}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\vossel.exe" "" "$INSTDIR\vossel.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vossel.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.${APP}" SecUnApp
    SectionIn RO
    Call un.CloseRunningVossel
    Delete "$INSTDIR\vossel.exe"
    Delete "$INSTDIR\vossel-help.html"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"
    ; "Launch on Startup" writes the machine's Run key; a value of the same
    ; name in the user's, set by hand, would start a program that is gone.
    DeleteRegValue HKLM "${RUN_KEY}" "${APP}"
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My settings (bar position, drives, launch program)" SecUnSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${MAKER}"
SectionEnd

; After the sections: it selects one of them.
Function un.onInit
    SetRegView 64
    SetShellVarContext all
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecUnSettings}
    ${EndIf}
FunctionEnd
