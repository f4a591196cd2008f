; The Windows installer: for the user alone, without administrator rights.
; makensis -DVERSION=1.6 -DSTAGE=<folder with Veskard.exe, veskard-cli.exe,
;   readme.txt> -DOUTFILE=<setup.exe> Veskard.nsi
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Veskard"
!define CLASSES_KEY "Software\Classes\*\shell"

Name "Veskard ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Veskard"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${STAGE}\Veskard.exe"
    File "${STAGE}\veskard-cli.exe"
    File "${STAGE}\readme.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Veskard.lnk" "$INSTDIR\Veskard.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Veskard"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Veskard.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

    ; Explorer's menu on every file. The name stays unquoted: the program takes
    ; everything after the switches' blank as the name, quotation marks included.
    WriteRegStr HKCU "${CLASSES_KEY}\Veskard.Encrypt" "" "用 Veskard 加密"
    WriteRegStr HKCU "${CLASSES_KEY}\Veskard.Encrypt" "Icon" "$INSTDIR\Veskard.exe"
    WriteRegStr HKCU "${CLASSES_KEY}\Veskard.Encrypt\command" "" '"$INSTDIR\Veskard.exe" /e/s %1'
    WriteRegStr HKCU "${CLASSES_KEY}\Veskard.Decrypt" "" "用 Veskard 解密"
    WriteRegStr HKCU "${CLASSES_KEY}\Veskard.Decrypt" "Icon" "$INSTDIR\Veskard.exe"
    WriteRegStr HKCU "${CLASSES_KEY}\Veskard.Decrypt\command" "" '"$INSTDIR\Veskard.exe" /r/s %1'
SectionEnd

; What the installer put there goes; what the user's runs wrote beside the
; program (set.ini, Encrypt_Info.txt, paw.txt) stays, and with it the folder.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\Veskard.exe"
    Delete "$INSTDIR\veskard-cli.exe"
    Delete "$INSTDIR\readme.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Veskard.lnk"
    DeleteRegKey HKCU "${CLASSES_KEY}\Veskard.Encrypt"
    DeleteRegKey HKCU "${CLASSES_KEY}\Veskard.Decrypt"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
