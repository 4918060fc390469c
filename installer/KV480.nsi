; Setup of the remote control: KV480, its configuration utility, the tools,
; the guides and the header for receiving applications.
;
; The "dist" target of the Windows build stages the files and passes:
;   STAGE       folder with the files in their installed layout
;   OUTFILE     the setup program to write
;   BITS        32 or 64, as the programs were built: they read the settings
;               in the registry view of their own bitness
;   VERSION     version as four numbers
;   GUIDES_NSH  the guides, as the macros InstallGuides and UninstallGuides
;   HAVE_CFG    defined when the configuration utility was built
;   SETUP_HELPER  the helper that ends KV480 in every session and starts it
;               at the user's level; carried in $PLUGINSDIR, not installed

Unicode true
!if ${BITS} == 64
    Target amd64-unicode
!else
    Target x86-unicode
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include MUI2.nsh
!include WinMessages.nsh
!include "${GUIDES_NSH}"

!define PRODUCT "Remote Control"
!define SETTINGS_KEY "SOFTWARE\VEKO\KV480"
!define VENDOR_KEY "SOFTWARE\VEKO"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Veko - Remote Control"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KV480"
!define START_MENU "$SMPROGRAMS\${PRODUCT}"
!define USER_GUIDE "user-guide.html"
!define AUTHORS_GUIDE "Docs\receiving-applications.html"
; What the configuration utility looks for to end the resident program.
!define MAIN_CLASS "CRemoteControlClass"
!define MAIN_CAPTION "Remote Control"
; ERROR_ELEVATION_REQUIRED, as the exit code when not run as administrator.
!define EXIT_NOT_ADMIN 740
; A program of the product stayed open (ERROR_SHARING_VIOLATION): nothing changed.
!define EXIT_PROGRAM_OPEN 32

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!if ${BITS} == 64
    InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
    InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes where the programs already are.
InstallDirRegKey HKLM "${SETTINGS_KEY}" "Path"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "VEKO"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "VEKO"

Var WasRunning

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef HAVE_CFG
    !define MUI_FINISHPAGE_RUN
    !define MUI_FINISHPAGE_RUN_TEXT "Set up the remote control now"
    !define MUI_FINISHPAGE_RUN_FUNCTION StartConfiguration
!endif
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The settings live under HKLM, so only an administrator can install or
; remove; with UAC the manifest asks for elevation, this catches the rest.
!macro REQUIRE_ADMIN WHAT
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "${WHAT} the remote control needs administrator rights.$\nPlease run the setup again as an administrator." /SD IDOK
        SetErrorLevel ${EXIT_NOT_ADMIN}
        Quit
    ${EndIf}
!macroend

!macro USE_PROGRAMS_VIEW
    !if ${BITS} == 64
        SetRegView 64
    !endif
    SetShellVarContext all
!macroend

; Ends every running KV480, in every session (each user of a shared PC may
; have one): the helper sets the event they all watch and waits until none
; runs. Where that fails, this session's KV480 is ended as the configuration
; utility does: WM_CLOSE to its main window, up to 3 s for the process to
; end, then termination. Sets $WasRunning to 1 when one was running in this
; session. Uses $0 to $2.
!macro DEFINE_CLOSE_REMOTE_CONTROL UN
Function ${UN}CloseRemoteControl
    StrCpy $WasRunning 0
    FindWindow $0 "${MAIN_CLASS}" "${MAIN_CAPTION}"
    ${If} $0 != 0
        StrCpy $WasRunning 1
    ${EndIf}
    InitPluginsDir
    File "/oname=$PLUGINSDIR\SetupHelper.exe" "${SETUP_HELPER}"
    ClearErrors
    ExecWait '"$PLUGINSDIR\SetupHelper.exe" stop' $1
    ${IfNot} ${Errors}
    ${AndIf} $1 == 0
        Return
    ${EndIf}
    DetailPrint "KV480 did not end on request; closing it."
    FindWindow $0 "${MAIN_CLASS}" "${MAIN_CAPTION}"
    ${If} $0 == 0
        Return
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r0, *i 0 r1)"
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call "kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2"
    System::Call "user32::PostMessage(p r0, i ${WM_CLOSE}, p 0, p 0)"
    ${If} $2 == 0
        ; Not ours to wait for: give its window the same time to go.
        StrCpy $1 0
        ${DoWhile} $1 < 30
            Sleep 100
            IntOp $1 $1 + 1
            FindWindow $0 "${MAIN_CLASS}" "${MAIN_CAPTION}"
            ${If} $0 == 0
                ${Break}
            ${EndIf}
        ${Loop}
        Return
    ${EndIf}
    System::Call "kernel32::WaitForSingleObject(p r2, i 3000) i .r1"
    ${If} $1 != 0
        DetailPrint "KV480 did not end in time; terminating it."
        System::Call "kernel32::TerminateProcess(p r2, i 0)"
        System::Call "kernel32::WaitForSingleObject(p r2, i 5000)"
    ${EndIf}
    System::Call "kernel32::CloseHandle(p r2)"
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_REMOTE_CONTROL ""
!insertmacro DEFINE_CLOSE_REMOTE_CONTROL "un."

; Closes the editor and the configuration program that run from $INSTDIR,
; as a user would (the editor asks whether to save its changes), before any
; file is replaced: Windows cannot replace a running program's file. While
; one stays open the helper says which (Retry / Cancel); when the user
; cancels, the setup ends having changed nothing. The helper lists what it
; closed in $PLUGINSDIR\reopen.txt, for RestartOpenPrograms. Uses $0 and $1.
!macro DEFINE_CLOSE_OPEN_PROGRAMS UN
Function ${UN}CloseOpenPrograms
    InitPluginsDir
    File "/oname=$PLUGINSDIR\SetupHelper.exe" "${SETUP_HELPER}"
    StrCpy $0 ""
    ${If} ${Silent}
        StrCpy $0 " --silent"
    ${EndIf}
    ClearErrors
    ; "\." so that no final backslash escapes the closing quote.
    ExecWait '"$PLUGINSDIR\SetupHelper.exe" close-programs "$INSTDIR\." "$PLUGINSDIR\reopen.txt"$0' $1
    ${IfNot} ${Errors}
    ${AndIf} $1 != 0
        MessageBox MB_OK|MB_ICONSTOP "The setup has ended without changing anything: close the Remote Control programs and run it again." /SD IDOK
        SetErrorLevel ${EXIT_PROGRAM_OPEN}
        Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_OPEN_PROGRAMS ""
!insertmacro DEFINE_CLOSE_OPEN_PROGRAMS "un."

Function .onInit
    !insertmacro REQUIRE_ADMIN "Installing"
    !insertmacro USE_PROGRAMS_VIEW
FunctionEnd

!ifdef HAVE_CFG
Function StartConfiguration
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\KV480cfg.exe"'
FunctionEnd
!endif

Section "Install"
    ; Running programs hold their files.
    Call CloseOpenPrograms
    Call CloseRemoteControl

    SetOutPath "$INSTDIR"
    File "${STAGE}/KV480.exe"
!ifdef HAVE_CFG
    File "${STAGE}/KV480cfg.exe"
!endif
!ifdef HAVE_KEYS
    File "${STAGE}/KV480keys.exe"
!endif
    ; The user's list of receiving applications survives an upgrade.
    ${IfNot} ${FileExists} "$INSTDIR\RecvApp.ini"
        File "${STAGE}/RecvApp.ini"
    ${EndIf}
    ; So is the user's key map.
    ${IfNot} ${FileExists} "$INSTDIR\KeyMap.ini"
        File "${STAGE}/KeyMap.ini"
    ${EndIf}
    SetOutPath "$INSTDIR\Tools"
    File "${STAGE}/Tools/ReceiverSimulator.exe"
    File "${STAGE}/Tools/DemoReceiver.exe"
    File "${STAGE}/Tools/RecvAppCheck.exe"
    File "${STAGE}/Tools/KeySender.exe"
    !insertmacro InstallGuides
    SetOutPath "$INSTDIR\Docs"
    File "${STAGE}/Docs/MinimalReceiver.c"
    SetOutPath "$INSTDIR\Include"
    File "${STAGE}/Include/RemoteControl.h"

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; How the programs find RecvApp.ini and each other. The other settings
    ; belong to the configuration utility.
    WriteRegStr HKLM "${SETTINGS_KEY}" "Path" "$INSTDIR\"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VEKO"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KV480.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    CreateDirectory "${START_MENU}"
!ifdef HAVE_CFG
    CreateShortcut "${START_MENU}\Remote Control configuration.lnk" "$INSTDIR\KV480cfg.exe"
!endif
    CreateShortcut "${START_MENU}\Remote Control.lnk" "$INSTDIR\KV480.exe"
!ifdef HAVE_KEYS
    CreateShortcut "${START_MENU}\Remote Control keys.lnk" "$INSTDIR\KV480keys.exe"
!endif
    CreateShortcut "${START_MENU}\User guide.lnk" "$INSTDIR\${USER_GUIDE}"
    CreateShortcut "${START_MENU}\Guide for receiving applications.lnk" "$INSTDIR\${AUTHORS_GUIDE}"

    ; An upgrade leaves the resident program as it found it, running at the
    ; user's level rather than with the setup's rights.
    ${If} $WasRunning == 1
        ClearErrors
        ExecWait '"$PLUGINSDIR\SetupHelper.exe" start'
        ${If} ${Errors}
            Exec '"$INSTDIR\KV480.exe"'
        ${EndIf}
    ${EndIf}
    ; And so the programs the user had open.
    ExecWait '"$PLUGINSDIR\SetupHelper.exe" restart-programs "$INSTDIR\." "$PLUGINSDIR\reopen.txt"'
SectionEnd

Function un.onInit
    !insertmacro REQUIRE_ADMIN "Removing"
    !insertmacro USE_PROGRAMS_VIEW
FunctionEnd

; Pushes 1 when the files whose paths were pushed (first, then second) hold
; the same bytes, else 0.
Function un.SameContent
    Exch $1
    Exch
    Exch $0
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    StrCpy $6 0
    ClearErrors
    FileOpen $2 "$0" r
    ${IfNot} ${Errors}
        FileOpen $3 "$1" r
        ${IfNot} ${Errors}
            FileSeek $2 0 END $4
            FileSeek $3 0 END $5
            ${If} $4 == $5
                FileSeek $2 0 SET
                FileSeek $3 0 SET
                StrCpy $6 1
                ${Do}
                    ClearErrors
                    FileReadByte $2 $4
                    ${If} ${Errors}
                        ${Break}
                    ${EndIf}
                    FileReadByte $3 $5
                    ${If} $4 != $5
                        StrCpy $6 0
                        ${Break}
                    ${EndIf}
                ${Loop}
            ${EndIf}
            FileClose $3
        ${EndIf}
        FileClose $2
    ${EndIf}
    StrCpy $1 $6
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $0
    Exch $1
FunctionEnd

; Deletes $INSTDIR\NAME when it holds the installed template's bytes, else
; keeps it and says why. Uses $0.
!macro REMOVE_IF_UNCHANGED NAME WHY
    File "/oname=$PLUGINSDIR\${NAME}.template" "${STAGE}/${NAME}"
    Push "$INSTDIR\${NAME}"
    Push "$PLUGINSDIR\${NAME}.template"
    Call un.SameContent
    Pop $0
    ${If} $0 == 1
        Delete "$INSTDIR\${NAME}"
    ${ElseIf} ${FileExists} "$INSTDIR\${NAME}"
        DetailPrint "Kept $INSTDIR\${NAME}, which ${WHY}."
    ${EndIf}
!macroend

Section "Uninstall"
    Call un.CloseOpenPrograms
    Call un.CloseRemoteControl

    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    Delete "${START_MENU}\Remote Control configuration.lnk"
    Delete "${START_MENU}\Remote Control.lnk"
    Delete "${START_MENU}\Remote Control keys.lnk"
    Delete "${START_MENU}\User guide.lnk"
    Delete "${START_MENU}\Guide for receiving applications.lnk"
    RMDir "${START_MENU}"

    Delete "$INSTDIR\KV480.exe"
    Delete "$INSTDIR\KV480cfg.exe"
    ; Each user's own key map (in their application data) stays theirs.
    Delete "$INSTDIR\KV480keys.exe"
    Delete "$INSTDIR\Tools\ReceiverSimulator.exe"
    Delete "$INSTDIR\Tools\DemoReceiver.exe"
    Delete "$INSTDIR\Tools\RecvAppCheck.exe"
    Delete "$INSTDIR\Tools\KeySender.exe"
    Delete "$INSTDIR\Docs\MinimalReceiver.c"
    RMDir "$INSTDIR\Tools"
    !insertmacro UninstallGuides
    RMDir "$INSTDIR\Docs"
    Delete "$INSTDIR\Include\RemoteControl.h"
    RMDir "$INSTDIR\Include"

    ; RecvApp.ini and KeyMap.ini go only as the setup left them: the
    ; uninstaller carries the templates to compare with.
    InitPluginsDir
    !insertmacro REMOVE_IF_UNCHANGED "RecvApp.ini" "lists your receiving applications"
    !insertmacro REMOVE_IF_UNCHANGED "KeyMap.ini" "holds your keys for applications"
    ; Out of the folder, so that it can go.
    SetOutPath "$TEMP"

    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
