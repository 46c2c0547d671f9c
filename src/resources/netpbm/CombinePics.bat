@echo off
rem Merges tmp-front.jpg and tmp-back.jpg of this folder, front above back, into one JPEG
rem written over the front image file %1. On failure %1 is left as it was.
setlocal
set here=%~dp0
"%here%jpegtopnm.exe" -quiet "%here%tmp-front.jpg" > "%here%tmp-front.pnm"
if errorlevel 1 goto failed
"%here%jpegtopnm.exe" -quiet "%here%tmp-back.jpg" > "%here%tmp-back.pnm"
if errorlevel 1 goto failed
"%here%pnmcat.exe" -quiet -tb -jleft -white "%here%tmp-front.pnm" "%here%tmp-back.pnm" | "%here%pnmtojpeg.exe" -quiet > "%here%tmp-both.jpg"
if errorlevel 1 goto failed
for %%F in ("%here%tmp-both.jpg") do if %%~zF==0 goto failed
move /y "%here%tmp-both.jpg" %1 > nul
del "%here%tmp-front.pnm" "%here%tmp-back.pnm" 2> nul
exit /b 0
:failed
del "%here%tmp-front.pnm" "%here%tmp-back.pnm" "%here%tmp-both.jpg" 2> nul
exit /b 1
