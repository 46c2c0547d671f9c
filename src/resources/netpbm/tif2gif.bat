@echo off
rem Converts the scanned cheque image %1 (TIFF) into the GIF preview %2 with the netpbm tools
rem of this folder. Leaves no partial %2 when the conversion fails.
setlocal
set here=%~dp0
"%here%tifftopnm.exe" -quiet %1 | "%here%pnmquant.exe" -quiet 256 | "%here%ppmtogif.exe" -quiet > "%~2.part"
if errorlevel 1 goto failed
for %%F in ("%~2.part") do if %%~zF==0 goto failed
move /y "%~2.part" %2 > nul
exit /b 0
:failed
del "%~2.part" 2> nul
exit /b 1
