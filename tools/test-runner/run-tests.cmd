@echo off
rem Runs the tests of toofel on this Windows; README.txt beside this file says more.
setlocal
rem 32-bit Windows runs only the 32-bit runner; on 64-bit Windows the 64-bit one runs both builds.
set RUNNER=%~dp0x86\test-runner.exe
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set RUNNER=%~dp0test-runner.exe
if /i "%PROCESSOR_ARCHITEW6432%"=="AMD64" set RUNNER=%~dp0test-runner.exe
rem How cmd was started tells the runner whether this window closes at the end.
set "TOOFEL_CMD_LINE=%CMDCMDLINE%"
set "TOOFEL_SCRIPT=%~f0"
"%RUNNER%" "%~dp0."
exit /b %ERRORLEVEL%
