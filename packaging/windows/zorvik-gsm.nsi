; The Windows installer: the window and the command line for one user, without administrator
; rights, with a Start-menu entry, the .zvk file type and an uninstaller in "Apps".
;   makensis -DVERSION=1.0.1 -DSTAGE=dir -DOUTFILE=setup.exe [-DICON=zorvik-gsm.ico] zorvik-gsm.nsi
; STAGE holds zorvik-gsm.exe, zorvik-cli.exe, README.md and LICENSE. scripts/installer calls it.
;
; The user's PATH is left alone: makensis cuts strings at 1,024 characters, which would damage a
; long PATH. The history of devices (%LOCALAPPDATA%\zorvik-cli\history) is the user's and outlives
; the program.

!ifndef VERSION | STAGE | OUTFILE
    !error "give -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Zorvik GSM"
!define PUBLISHER "Zorvik GSM developers"
!define SHORTCUT "Konfigurator Zorvik GSM"
!define PROGID "ZorvikGsm.Configuration"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZorvikGsm"
; SHChangeNotify: SHCNE_ASSOCCHANGED with SHCNF_IDLIST, after which Explorer reads the file
; types afresh.
!define ASSOC_CHANGED "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; A newer version goes where the older one is, found through its uninstall entry.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "2026 ${PUBLISHER}"

!include "MUI2.nsh"

!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\zorvik-gsm.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The system's language chooses; the first one is for every language but Polish.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Polish"

Section "${PRODUCT}" SecProgram
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${STAGE}/zorvik-gsm.exe"
    File "${STAGE}/zorvik-cli.exe"
    File "${STAGE}/README.md"
    File "${STAGE}/LICENSE"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${SHORTCUT}.lnk" "$INSTDIR\zorvik-gsm.exe" "" \
        "$INSTDIR\zorvik-gsm.exe" 0

    ; The file type. OpenWithProgids keeps the program among the choices for .zvk even where the
    ; user has picked another one as the default.
    WriteRegStr HKCU "Software\Classes\.zvk" "" "${PROGID}"
    WriteRegStr HKCU "Software\Classes\.zvk\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Konfiguracja Zorvik GSM"
    WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\zorvik-gsm.exe",0'
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" \
        '"$INSTDIR\zorvik-gsm.exe" "%1"'
    System::Call "${ASSOC_CHANGED}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\zorvik-gsm.exe",0'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put there goes: the folder itself stays if the user keeps files in it.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\zorvik-gsm.exe"
    Delete "$INSTDIR\zorvik-cli.exe"
    Delete "$INSTDIR\README.md"
    Delete "$INSTDIR\LICENSE"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The per-user programs folder, which the installer may have made, goes only if empty.
    RMDir "$LOCALAPPDATA\Programs"
    Delete "$SMPROGRAMS\${SHORTCUT}.lnk"

    ; .zvk is given back only if it is still ours: another program may have taken it since.
    DeleteRegValue HKCU "Software\Classes\.zvk\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty HKCU "Software\Classes\.zvk\OpenWithProgids"
    ReadRegStr $0 HKCU "Software\Classes\.zvk" ""
    StrCmp $0 "${PROGID}" 0 +2
        DeleteRegValue HKCU "Software\Classes\.zvk" ""
    DeleteRegKey /ifempty HKCU "Software\Classes\.zvk"
    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    System::Call "${ASSOC_CHANGED}"

    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
