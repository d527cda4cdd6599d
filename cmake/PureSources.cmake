# Plain logic with no Windows calls: built into setup.exe and, natively, into the
# sanitizer tests and the fuzz targets. Paths are relative to the source root.
set(VSETUP_PURE_SOURCES
    setup/SetupString.cpp
    setup/PathHelpers.cpp
    setup/SetupConfig.cpp
    setup/SetupDatParser.cpp
    setup/CommandLine.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    shell/UninstallRecord.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    setup/InstallDirectory.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    shell/ComposedText.cpp
    shell/ReadmeTitle.cpp
    shell/FolderComponents.cpp
    shell/UninstallLogName.cpp
    install/DirectoryChain.cpp
    install/ExtractMessages.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    folderchooser/FolderChain.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    install/ArchiveStream.cpp
    install/ArchiveHeader.cpp
    install/ArchiveExtraction.cpp
    install/MemberPlacement.cpp
    install/MemoryArchiveSource.cpp
    install/FileArchiveSource.cpp
    install/ArchiveWriter.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    shell/UninstallLogReader.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    shell/UninstallCommandLine.cpp
    shell/UninstallRemover.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    install/ProgressThrottle.cpp
    install/DirectoryMemo.cpp
)
