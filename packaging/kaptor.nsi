; KAPTOR's Windows installer. scripts/release.sh runs makensis with:
;   VERSION    the project's version, from CMake (1.0.0)
;   ARCH       x64 (a 64-bit installer for the 64-bit control) or x86
;   STAGE      folder holding KAPTORAX.ocx, KAPSHOT.exe, kaptor.exe and README.txt
;   SIMULATOR  folder holding the simulated board, Ftd2xx.dll
;   SAMPLE     what `kaptor config init` writes: CONFIG.TXT and CONFIG\EJEMPLO.TXT
;   OUTFILE    the installer to write
;
; Command line: /S installs silently, /SIMULATOR adds the simulated board as Ftd2xx.dll (a
; demonstration without hardware), /D=FOLDER (last) installs elsewhere. Exit status 0 when
; everything was done, 1 when the user cancelled, 2 when the installation was stopped.

!if ${ARCH} == x64
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES32"
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KAPTOR"
!define DATA_FOLDER "C:\KAPTOR"
!define DRIVER_HELP "KAPSHOT and kaptor talk to the board through FTDI's D2XX driver \
(Ftd2xx.dll), which KAPTOR does not ship. Get it from FTDI \
(https://ftdichip.com/drivers/d2xx-drivers/) and install it, or copy its Ftd2xx.dll \
for this architecture (${ARCH}) beside KAPSHOT.exe."

Name "KAPTOR ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\KAPTOR"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "KAPTOR"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "KAPTOR ${VERSION} setup (${ARCH})"
VIAddVersionKey /LANG=1033 "LegalCopyright" "KAPTOR"

!define MUI_WELCOMEPAGE_TEXT "This installs the KAPTORAX capture control, the test program \
KAPSHOT and the command-line host kaptor.$\r$\n$\r$\n${DRIVER_HELP}$\r$\n$\r$\nWithout a \
board, choose the simulated board on the next page for a demonstration."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Stops the installation: says why (a box, or only the details in silent mode), and exits 2.
!macro Stop message
  DetailPrint "${message}"
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "Installing or removing KAPTOR needs an administrator: it \
registers the control for every user." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Section "KAPTOR" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\KAPTORAX.ocx"
  File "${STAGE}\KAPSHOT.exe"
  File "${STAGE}\kaptor.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; What regsvr32 does: the module's own DllRegisterServer.
  ClearErrors
  RegDLL "$INSTDIR\KAPTORAX.ocx"
  ${If} ${Errors}
    ; Whatever the module wrote before it failed goes, and so do the files: nothing half-done.
    UnRegDLL "$INSTDIR\KAPTORAX.ocx"
    Delete "$INSTDIR\KAPTORAX.ocx"
    Delete "$INSTDIR\KAPSHOT.exe"
    Delete "$INSTDIR\kaptor.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    SetOutPath "$TEMP"  ; the folder in use cannot be removed
    RMDir "$INSTDIR"
    !insertmacro Stop "The KAPTORAX control could not be registered (its DllRegisterServer \
failed), so KAPTOR was not installed. Run the installer as an administrator; if it fails \
again, the installer may be damaged: download it again."
  ${EndIf}

  CreateDirectory "$SMPROGRAMS\KAPTOR"
  CreateShortCut "$SMPROGRAMS\KAPTOR\KAPSHOT.lnk" "$INSTDIR\KAPSHOT.exe" "" \
    "$INSTDIR\KAPSHOT.exe" 0 SW_SHOWNORMAL "" "KAPTOR test program"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KAPTOR ${VERSION} (${ARCH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KAPTOR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The sample configuration, exactly as `kaptor config init` lays it down: each file only
  ; where none exists, so a user's configuration is never overwritten.
  SetOverwrite off
  SetOutPath "${DATA_FOLDER}"
  File "${SAMPLE}\CONFIG.TXT"
  SetOutPath "${DATA_FOLDER}\CONFIG"
  File "${SAMPLE}\CONFIG\EJEMPLO.TXT"
  SetOverwrite on
  SetOutPath "$INSTDIR"
SectionEnd

Section /o "Simulated board" SecSimulator
  ; A driver library already there that an earlier installation did not put there is the
  ; user's (the vendor's Ftd2xx.dll): it stays.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "SimulatedBoard"
  ${If} ${FileExists} "$INSTDIR\Ftd2xx.dll"
  ${AndIf} $0 != 1
    DetailPrint "Kept the Ftd2xx.dll already in $INSTDIR; the simulated board was not installed."
  ${Else}
    SetOutPath "$INSTDIR"
    File "${SIMULATOR}\Ftd2xx.dll"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "SimulatedBoard" 1
  ${EndIf}
SectionEnd

Function .onInit
  !if ${ARCH} == x64
    SetRegView 64
  !endif
  SetShellVarContext all
  !insertmacro RequireAdministrator
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SIMULATOR" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecSimulator} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  ${IfNot} ${SectionIsSelected} ${SecSimulator}
    DetailPrint "${DRIVER_HELP}"
    MessageBox MB_OK|MB_ICONINFORMATION "${DRIVER_HELP}" /SD IDOK
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "The KAPTORAX control (registered), KAPSHOT with \
its Start-menu entry, kaptor, and the sample configuration in ${DATA_FOLDER} where none exists."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSimulator} "Our simulated board as Ftd2xx.dll beside \
KAPSHOT, to try KAPTOR without a board. Leave it out to use FTDI's driver."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  !if ${ARCH} == x64
    SetRegView 64
  !endif
  SetShellVarContext all
  !insertmacro RequireAdministrator
FunctionEnd

; Adds the name of an installed file that is still there to $1.
!macro NoteLeftBehind name
  ${If} ${FileExists} "$INSTDIR\${name}"
    StrCpy $1 "$1 ${name}"
  ${EndIf}
!macroend

; Removes what the installer put down; the configurations and pictures under C:\KAPTOR, and
; anything else a user put into the program's folder, stay.
Section "Uninstall"
  ${If} ${FileExists} "$INSTDIR\KAPTORAX.ocx"
    ClearErrors
    UnRegDLL "$INSTDIR\KAPTORAX.ocx"
    ${If} ${Errors}
      !insertmacro Stop "The KAPTORAX control could not be unregistered (its \
DllUnregisterServer failed); nothing was removed. Run the uninstaller as an administrator."
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\KAPTORAX.ocx"
  Delete "$INSTDIR\KAPSHOT.exe"
  Delete "$INSTDIR\kaptor.exe"
  Delete "$INSTDIR\README.txt"
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "SimulatedBoard"
  ${If} $0 == 1
    Delete "$INSTDIR\Ftd2xx.dll"
  ${EndIf}
  ; A file in use stays where it is: then the uninstaller and its entry stay too, to run it
  ; again, and it says so.
  StrCpy $1 ""
  !insertmacro NoteLeftBehind KAPTORAX.ocx
  !insertmacro NoteLeftBehind KAPSHOT.exe
  !insertmacro NoteLeftBehind kaptor.exe
  !insertmacro NoteLeftBehind README.txt
  ${If} $0 == 1
    !insertmacro NoteLeftBehind Ftd2xx.dll
  ${EndIf}
  ${If} $1 != ""
    !insertmacro Stop "These files in $INSTDIR are in use and were not removed:$1. Close \
KAPSHOT, kaptor and every program that holds the KAPTORAX control, then run the uninstaller \
again."
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\KAPTOR\KAPSHOT.lnk"
  RMDir "$SMPROGRAMS\KAPTOR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
