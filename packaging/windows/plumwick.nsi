; The PLUMWICK installer. scripts/build-windows.sh runs makensis with
;   -DVERSION=1.0.0 -DSTAGE=<the installed folder> -DOUTFILE=<setup.exe>
;   -DICON=<plumwick.ico> -DFILES=<files.nsh> -DREMOVE=<remove.nsh>
; where files.nsh holds a File line for each file of the folder and remove.nsh
; a Delete for each file and an RMDir for each subfolder, deepest first: the
; uninstaller removes exactly what the installer put there.
; `setup.exe /S` installs silently, `uninstall.exe /S` removes silently.

Target amd64-unicode
SetCompressor /SOLID lzma
; The installed files' times are those of the install, not of the build:
; the same sources give the same installer.
SetDateSave off
ManifestDPIAware true

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PLUMWICK"

Name "PLUMWICK ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\PLUMWICK"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "PLUMWICK"
VIAddVersionKey /LANG=1033 "FileDescription" "PLUMWICK ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The PLUMWICK developers; zlib licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut starts the game in $INSTDIR, the out path at this point.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\PLUMWICK.lnk" "$INSTDIR\plumwick.exe" "" "$INSTDIR\plumwick.exe" 0
    ; Apps & features
    WriteRegStr HKLM "${KEY}" "DisplayName" "PLUMWICK"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "Publisher" "The PLUMWICK developers"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$\"$INSTDIR\plumwick.exe$\""
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$\"$INSTDIR$\""
    WriteRegStr HKLM "${KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$SMPROGRAMS\PLUMWICK.lnk"
    !include "${REMOVE}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KEY}"
SectionEnd
