@echo off
rem Times a quiet installation of a vsetup set on this Windows machine, with the
rem antivirus as it is, against NSIS installers of the same files if given.
rem   windows-bench.cmd SET [ROUNDS [NSIS.EXE ...]]
rem SET: the set's folder (setup.exe beside insfiles.vsa) or a bundled setup.exe.
rem ROUNDS: interleaved rounds, 5 unless given. Each NSIS installer runs with
rem /S /D=folder (nsis-window-*.exe of install-bench.sh shows its progress
rem page all the same, as setup.exe -q does). Run it from an elevated prompt
rem (setup.exe asks for it) with install_timer.exe (bench/install_timer.cpp,
rem built with the Windows build) beside this script. BENCH_FOLDER: where the
rem trees go (default %SystemDrive%\vsetup-bench); they are left there for a
rem look afterwards.
setlocal
if "%~1"=="" goto usage
set "setup=%~f1"
if exist "%setup%\setup.exe" set "setup=%setup%\setup.exe"
if not exist "%setup%" goto usage
set "rounds=%~2"
if "%rounds%"=="" set rounds=5
set "timer=%~dp0install_timer.exe"
if not exist "%timer%" (
    echo windows-bench: no install_timer.exe beside this script
    exit /b 2
)
if "%BENCH_FOLDER%"=="" set "BENCH_FOLDER=%SystemDrive%\vsetup-bench"
set "folder=%BENCH_FOLDER%\%RANDOM%%RANDOM%"
mkdir "%folder%"
if not exist "%folder%\" exit /b 1
set installers=
:more
if "%~3"=="" goto run
set installers=%installers% "%~f3"
shift /3
goto more
:run
ver
echo Rounds: %rounds%; trees in %folder%
rem The scanner's state, where Windows Defender can say it.
powershell -NoProfile -Command "'Defender real-time protection: ' + (Get-MpComputerStatus).RealTimeProtectionEnabled" 2>nul
"%timer%" compare %rounds% "%folder%" "%setup%"%installers%
exit /b %errorlevel%
:usage
echo usage: windows-bench.cmd SET [ROUNDS [NSIS.EXE ...]]
exit /b 2
