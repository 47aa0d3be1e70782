@echo off
rem Runs the tests of toofel on this Windows; README.txt beside this file says more.
setlocal
rem Each path stays in quotes: the folder's name may hold spaces, &, ^, %% or any letters.
set "KIT=%~dp0"
rem 32-bit Windows runs only the 32-bit runner; on 64-bit Windows the 64-bit one runs both builds.
set "RUNNER=%KIT%x86\test-runner.exe"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "RUNNER=%KIT%test-runner.exe"
if /i "%PROCESSOR_ARCHITEW6432%"=="AMD64" set "RUNNER=%KIT%test-runner.exe"
rem An earlier run's results must not pass for this one's.
if exist "%KIT%results.txt" del /f "%KIT%results.txt"
if exist "%TEMP%\toofel-test-kit-results\results.txt" del /f "%TEMP%\toofel-test-kit-results\results.txt"
if not exist "%RUNNER%" goto missing
rem How cmd was started tells the runner whether this window closes at the end.
set "TOOFEL_CMD_LINE=%CMDCMDLINE%"
set "TOOFEL_SCRIPT=%~f0"
"%RUNNER%" "%KIT%."
set STATUS=%ERRORLEVEL%
if exist "%KIT%results.txt" exit /b %STATUS%
if exist "%TEMP%\toofel-test-kit-results\results.txt" exit /b %STATUS%
echo.
echo The test runner ended without writing results.txt (exit code %STATUS%):
echo "%RUNNER%"
echo An antivirus may have blocked it. Allow it, or unpack the zip again into
echo a new folder, and run run-tests.cmd again.
goto wait

:missing
echo.
echo The test runner is not there:
echo "%RUNNER%"
if not "%KIT:.zip\=%"=="%KIT%" (
  echo run-tests.cmd seems to be opened from inside the zip. Unpack the whole
  echo zip into a new folder first ^(right-click it, Extract All^), then run
  echo run-tests.cmd from that folder.
) else (
  echo Unpack the whole zip again into a new folder. If it is still missing,
  echo an antivirus may have removed it: allow it, then unpack again.
)
set STATUS=1

:wait
echo.
set /p "ANSWER=Press Enter to close this window."
exit /b %STATUS%
