; The Windows installer: per user, no administrator. It puts the programs in
; %LOCALAPPDATA%\Programs\Quorix, adds a Start-menu entry and an entry in Apps & features, and
; installs the help pages and the registry key as the handheld's installer did (quorix --setup:
; %LOCALAPPDATA%\Quorix\device\Windows and HKCU\Software\Larkwell\Gearset1\Quorix). The
; uninstaller takes all of that away again, with the browser-ready copies of the help pages.
; makensis -DVERSION=3.12 -DBUILD=<build folder> -DSOURCE=<source folder> -DOUTFILE=<setup.exe>
; 64-bit, as the programs are (and Wine without its 32-bit half runs only these).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix"
!define PROGRAM_KEY "Software\Larkwell\Gearset1\Quorix"

Name "Quorix ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quorix"
ShowInstDetails show
Icon "${SOURCE}\resources\app_icon.ico"
UninstallIcon "${SOURCE}\resources\app_icon.ico"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Quorix"
VIAddVersionKey "CompanyName" "Larkwell"
VIAddVersionKey "FileDescription" "Quorix ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2001-2026 Larkwell"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quorix"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD}\quorix.exe"
  File "${BUILD}\quorix-send.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The help pages and the program's key, as on the handheld.
  ExecWait '"$INSTDIR\quorix.exe" --setup' $0
  StrCmp $0 0 +2
    DetailPrint "quorix --setup failed ($0): help pages or registry key missing"
  CreateDirectory "$SMPROGRAMS\Quorix"
  CreateShortcut "$SMPROGRAMS\Quorix\Quorix.lnk" "$INSTDIR\quorix.exe" "" "$INSTDIR\quorix.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quorix ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Larkwell"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quorix.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!macro RemoveHelpPage name
  Delete "$LOCALAPPDATA\Quorix\device\Windows\${name}"
  Delete "$LOCALAPPDATA\Quorix\help\${name}.html"
!macroend

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\quorix.exe"
  Delete "$INSTDIR\quorix-send.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Quorix\Quorix.lnk"
  RMDir "$SMPROGRAMS\Quorix"
  !insertmacro RemoveHelpPage "quorix-index.htc"
  !insertmacro RemoveHelpPage "quorix_gaiyo.htp"
  !insertmacro RemoveHelpPage "quorix_install.htp"
  !insertmacro RemoveHelpPage "quorix_copyright.htp"
  !insertmacro RemoveHelpPage "quorix_history.htp"
  !insertmacro RemoveHelpPage "quorix_support.htp"
  !insertmacro RemoveHelpPage "quorix_use.htp"
  RMDir "$LOCALAPPDATA\Quorix\device\Windows"
  RMDir "$LOCALAPPDATA\Quorix\device"
  RMDir "$LOCALAPPDATA\Quorix\help"
  RMDir "$LOCALAPPDATA\Quorix"
  DeleteRegKey HKCU "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Larkwell\Gearset1"
  DeleteRegKey /ifempty HKCU "Software\Larkwell"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
