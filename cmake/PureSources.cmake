# Plain logic with no Windows calls: built into setup.exe and, natively, into the
# sanitizer tests and the fuzz targets. Paths are relative to the source root.
set(VSETUP_PURE_SOURCES
    setup/SetupString.cpp
    setup/PathHelpers.cpp
    setup/SetupConfig.cpp
    setup/SetupDatParser.cpp
    setup/CommandLine.cpp
    shell/UninstallRecord.cpp
    setup/InstallDirectory.cpp
    shell/ComposedText.cpp
    shell/ReadmeTitle.cpp
    shell/FolderComponents.cpp
    shell/UninstallLogName.cpp
    install/DirectoryChain.cpp
    install/ExtractMessages.cpp
    folderchooser/FolderChain.cpp
    install/Crc32.cpp
    install/ArchiveStream.cpp
    install/ReadAheadStream.cpp
    install/ArchiveHeader.cpp
    install/ArchiveExtraction.cpp
    install/MemberPlacement.cpp
    install/MemoryArchiveSource.cpp
    install/FileArchiveSource.cpp
    install/ArchiveWriter.cpp
    shell/UninstallLogReader.cpp
    uninstall/UninstallCommandLine.cpp
    uninstall/UninstallRemover.cpp
    uninstall/RemovalScope.cpp
    shell/UninstallLogMerge.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    install/ProgressThrottle.cpp
    install/DirectoryMemo.cpp
)
