@echo off
rem Runs the tests of toofel on this Windows; README.txt beside this file says more.
setlocal
rem 32-bit Windows runs only the 32-bit runner; on 64-bit Windows the 64-bit one runs both builds.
set RUNNER=%~dp0x86\test-runner.exe
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set RUNNER=%~dp0test-runner.exe
if /i "%PROCESSOR_ARCHITEW6432%"=="AMD64" set RUNNER=%~dp0test-runner.exe
"%RUNNER%" "%~dp0."
set RESULT=%ERRORLEVEL%
echo The results are in "%~dp0results.txt".
rem Double-clicked, the window would close before anyone could read them.
echo %CMDCMDLINE% | findstr /i /l /c:"%~f0" >nul 2>&1 && pause
exit /b %RESULT%
