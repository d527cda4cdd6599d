#include "setup/SetupConfig.h"

void SetupConfig::SetDefaults() {
    appname.Assign("Varnplay");
    progdir.Assign("Varnplay");
    startfolder.Assign("Varnplay");
    mainexe.Assign("varnplay.exe");
    savesuffix.Assign(kDefaultSaveSuffix);
    license.Assign("LICENSE.TXT");
    readme.Free();
    readme_title.Free();
    version.Free();
    publisher.Free();
    logFile.Free();
    commandLineProblem = nullptr;
    unrepresentableKey = nullptr;
    quietDirUnrepresentable.Free();
    debugger = game = v3 = quiet = unattended = quietDirTooLong = false;
}
