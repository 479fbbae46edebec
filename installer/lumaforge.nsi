; The Windows installer of Lumaforge, made by scripts/release.sh with makensis:
;   makensis -DVERSION=1.2.3 -DFILE_VERSION=1.2.3.0 -DPROGRAM_DIR=<staged program folder> -DICON=<.ico>
;            -DOUT_FILE=<setup.exe> -DHOME_URL=<home page> -DSUPPORT_EMAIL=<address> lumaforge.nsi
; Per machine into Program Files, in English and Simplified Chinese. "/S" installs and uninstalls
; silently; the silent uninstaller keeps the downloaded packages and the customisations unless
; "/DELETEPACKAGES" or "/TAKEBACK" is given.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!ifndef VERSION | FILE_VERSION | PROGRAM_DIR | ICON | OUT_FILE | HOME_URL | SUPPORT_EMAIL
  !error "VERSION, FILE_VERSION, PROGRAM_DIR, ICON, OUT_FILE, HOME_URL and SUPPORT_EMAIL must be defined"
!endif

!define PRODUCT "Lumaforge"
!define PUBLISHER "Lumaforge"
!define PROGRAM "Lumaforge.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaforge"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An installed version is updated where it is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!ifdef SIGN_COMMAND
  ; The uninstaller is written out by the installer: it is signed here, before it is packed.
  !uninstfinalize '${SIGN_COMMAND} "%1"'
!endif

; The language the user chose is kept in the uninstall key, which goes with the program.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString SectionProgram ${LANG_ENGLISH} "${PRODUCT} (required)"
LangString SectionProgram ${LANG_SIMPCHINESE} "${PRODUCT}（必需）"
LangString SectionDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString SectionDesktop ${LANG_SIMPCHINESE} "桌面快捷方式"
LangString TakeBackQuestion ${LANG_ENGLISH} "Take back every customisation installed through ${PRODUCT} (visual styles, pointers, sounds, screen savers, login screens, icons) before it is removed?$\r$\n$\r$\nIf you answer No, they stay as they are."
LangString TakeBackQuestion ${LANG_SIMPCHINESE} "在删除 ${PRODUCT} 之前，是否撤销通过它安装的所有定制（视觉主题、鼠标指针、声音、屏幕保护、登录界面、图标）？$\r$\n$\r$\n选择“否”则保持现状。"
LangString TakeBackIncomplete ${LANG_ENGLISH} "Some customisations could not be taken back. Their records stay in $INSTDIR\journal, so that a new installation of ${PRODUCT} can take them back later."
LangString TakeBackIncomplete ${LANG_SIMPCHINESE} "部分定制未能撤销。它们的记录保留在 $INSTDIR\journal 中，以后重新安装 ${PRODUCT} 时仍可撤销。"
LangString DeletePackagesQuestion ${LANG_ENGLISH} "Delete the packages and wallpapers that ${PRODUCT} downloaded?"
LangString DeletePackagesQuestion ${LANG_SIMPCHINESE} "是否删除 ${PRODUCT} 下载的资源包和壁纸？"

Section "!$(SectionProgram)" SectionProgram
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    ; Over an older version only the program's own files are replaced: the cache, the downloaded
    ; packages and the installation records in "journal\" stay.
    File "${PROGRAM_DIR}\${PROGRAM}"
    File "${PROGRAM_DIR}\Lumaforge.CHS"
    File "${PROGRAM_DIR}\Update.dll"
    File "${PROGRAM_DIR}\DudedOzodare-x64.exe"
    File "${PROGRAM_DIR}\DudedOzodare-x86.exe"
    SetOutPath "$INSTDIR\cache\icons"
    File /r "${PROGRAM_DIR}\cache\icons\*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_URL}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "mailto:${SUPPORT_EMAIL}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; In kilobytes, as "Programs and Features" shows it.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SectionDesktop)" SectionDesktop
    SetShellVarContext all
    CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"
SectionEnd

Function .onInit
    SetShellVarContext all
    !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
    SetShellVarContext all
    !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    ${GetParameters} $R0

    ; The program holds the records of what it installed: it takes them back itself.
    StrCpy $R1 "no"
    ${If} ${Silent}
        ClearErrors
        ${GetOptions} $R0 "/TAKEBACK" $R2
        ${IfNot} ${Errors}
            StrCpy $R1 "yes"
        ${EndIf}
    ${ElseIf} ${FileExists} "$INSTDIR\journal\*.*"
        MessageBox MB_YESNO|MB_ICONQUESTION "$(TakeBackQuestion)" /SD IDNO IDNO +2
        StrCpy $R1 "yes"
    ${EndIf}
    ${If} $R1 == "yes"
    ${AndIf} ${FileExists} "$INSTDIR\${PROGRAM}"
        DetailPrint '"$INSTDIR\${PROGRAM}" /takeback'
        ExecWait '"$INSTDIR\${PROGRAM}" /takeback' $R3
        ${If} $R3 != 0
            MessageBox MB_OK|MB_ICONEXCLAMATION "$(TakeBackIncomplete)" /SD IDOK
        ${EndIf}
    ${EndIf}

    ; Downloaded packages and wallpapers: asked, kept by a silent uninstall unless told otherwise.
    StrCpy $R1 "no"
    ${If} ${Silent}
        ClearErrors
        ${GetOptions} $R0 "/DELETEPACKAGES" $R2
        ${IfNot} ${Errors}
            StrCpy $R1 "yes"
        ${EndIf}
    ${ElseIf} ${FileExists} "$INSTDIR\cache\theme\*.*"
    ${OrIf} ${FileExists} "$INSTDIR\cache\logon\*.*"
    ${OrIf} ${FileExists} "$INSTDIR\cache\cursor\*.*"
    ${OrIf} ${FileExists} "$INSTDIR\cache\screensave\*.*"
    ${OrIf} ${FileExists} "$INSTDIR\cache\icon\*.*"
    ${OrIf} ${FileExists} "$INSTDIR\cache\sound\*.*"
    ${OrIf} ${FileExists} "$INSTDIR\favorites\*.*"
        MessageBox MB_YESNO|MB_ICONQUESTION "$(DeletePackagesQuestion)" /SD IDNO IDNO +2
        StrCpy $R1 "yes"
    ${EndIf}
    ${If} $R1 == "yes"
        RMDir /r "$INSTDIR\cache\theme"
        RMDir /r "$INSTDIR\cache\logon"
        RMDir /r "$INSTDIR\cache\cursor"
        RMDir /r "$INSTDIR\cache\screensave"
        RMDir /r "$INSTDIR\cache\icon"
        RMDir /r "$INSTDIR\cache\sound"
        RMDir /r "$INSTDIR\favorites"
    ${EndIf}

    ; What the program keeps for itself and can fetch again.
    RMDir /r "$INSTDIR\cache\icons"
    RMDir /r "$INSTDIR\temp"
    Delete "$INSTDIR\config.txt"
    Delete "$INSTDIR\manifest.txt"
    Delete "$INSTDIR\manifest.sig"
    Delete "$INSTDIR\api.txt"
    ; The program's own files.
    Delete "$INSTDIR\${PROGRAM}"
    Delete "$INSTDIR\Lumaforge.CHS"
    Delete "$INSTDIR\Update.dll"
    Delete "$INSTDIR\DudedOzodare-x64.exe"
    Delete "$INSTDIR\DudedOzodare-x86.exe"
    Delete "$INSTDIR\${UNINSTALLER}"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$DESKTOP\${PRODUCT}.lnk"
    ; Folders go only when nothing of the user's is left in them.
    RMDir "$INSTDIR\cache"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
