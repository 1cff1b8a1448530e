; The varnok installer for 64-bit Windows: a per-user install, no
; administrator rights. Built by the Windows build's `package` target
; (packaging/windows/CMakeLists.txt), which passes
;   VERSION       the project's version, 0.1.0
;   VERSION_QUAD  the same in four numbers, 0.1.0.0
;   STAGE         the folder holding varnok.exe and varnok-cli.exe
;   ICON          the program's icon (window/win32/resources/varnok.ico)
;   OUTFILE       the installer to write
;
; It installs into %LOCALAPPDATA%\Programs\varnok: both programs and the
; uninstaller; a Start menu shortcut "varnok"; the .txa file type under
; HKCU\Software\Classes (ProgID varnok.txa, verb "Open with varnok"); and an
; entry in the installed programs list under HKCU. The uninstaller removes
; exactly these and leaves what the program writes for its user alone
; (remtxa.ini in the folder a window was opened in, %APPDATA%\varnok).

Unicode true
Target amd64-unicode

!ifndef VERSION | VERSION_QUAD | STAGE | ICON | OUTFILE
  !error "makensis -DVERSION=... -DVERSION_QUAD=... -DSTAGE=... -DICON=... -DOUTFILE=... varnok.nsi"
!endif

!define PRODUCT "varnok"
!define PUBLISHER "The varnok developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\varnok"
!define CLASSES "Software\Classes"
!define PROGID "varnok.txa"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
InstallDir "$LOCALAPPDATA\Programs\varnok"
; An earlier install is updated where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) the varnok developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\varnok.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start varnok"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "varnok"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\varnok.exe"
  File "${STAGE}\varnok-cli.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Started from the menu, the program works in its own folder (where it
  ; keeps remtxa.ini, the last file name).
  CreateShortcut "$SMPROGRAMS\varnok.lnk" "$INSTDIR\varnok.exe" "" "$INSTDIR\varnok.exe" 0

  ; The file type: the ProgID with its icon and verb; .txa opens with it
  ; unless another program owns the type already (then varnok is offered
  ; under "Open with" only).
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "TXA file"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\varnok.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell" "" "open"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open" "" "Open with varnok"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\varnok.exe" "%1"'
  WriteRegStr HKCU "${CLASSES}\.txa\OpenWithProgids" "${PROGID}" ""
  ReadRegStr $0 HKCU "${CLASSES}\.txa" ""
  ${If} $0 == ""
    WriteRegStr HKCU "${CLASSES}\.txa" "" "${PROGID}"
  ${EndIf}

  ; The installed programs list.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\varnok.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Explorer shows the new icon and verb without a new logon.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\varnok.exe"
  Delete "$INSTDIR\varnok-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a remtxa.ini the program wrote here stays, with it.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\varnok.lnk"

  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegValue HKCU "${CLASSES}\.txa\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.txa\OpenWithProgids"
  ReadRegStr $0 HKCU "${CLASSES}\.txa" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.txa" ""
  ${EndIf}
  DeleteRegKey /ifempty HKCU "${CLASSES}\.txa"

  ; Last: the entry goes once everything else has.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
