# Plain logic with no Windows calls: built into setup.exe and, natively, into the
# sanitizer tests and the fuzz targets. Paths are relative to the source root.
set(VSETUP_PURE_SOURCES
    setup/SetupString.cpp
    setup/NameChars.cpp
    setup/TextDecoding.cpp
    setup/PathHelpers.cpp
    setup/NameRules.cpp
    setup/DestinationCheck.cpp
    setup/ConfigCheck.cpp
    setup/ExtensionRules.cpp
    setup/BundleTrust.cpp
    setup/SetupConfig.cpp
    setup/SetupDatParser.cpp
    setup/CommandLine.cpp
    shell/UninstallRecord.cpp
    setup/InstallDirectory.cpp
    shell/ComposedText.cpp
    shell/ReadmeTitle.cpp
    shell/ShortcutTables.cpp
    shell/FolderComponents.cpp
    shell/UninstallLogName.cpp
    install/DirectoryChain.cpp
    install/ExtractMessages.cpp
    folderchooser/FolderChain.cpp
    archive/Crc32.cpp
    archive/ArchiveStream.cpp
    archive/ReadAheadStream.cpp
    archive/ArchiveHeader.cpp
    install/ArchiveExtraction.cpp
    install/MemberPlacement.cpp
    archive/MemoryArchiveSource.cpp
    archive/FileArchiveSource.cpp
    archive/ArchiveWriter.cpp
    archive/PeImage.cpp
    archive/ImageHeaders.cpp
    archive/BundleMark.cpp
    archive/BundleDirectory.cpp
    archive/BundleWriter.cpp
    shell/UninstallLogReader.cpp
    shell/UninstallLogDecoding.cpp
    uninstall/UninstallCommandLine.cpp
    uninstall/UninstallRemover.cpp
    uninstall/RemovalScope.cpp
    shell/UninstallLogMerge.cpp
    shell/FinalPath.cpp
    uninstall/FolderAccessRules.cpp
    shell/EarlierDefault.cpp
    shell/UninstallJournal.cpp
    shell/Sha256.cpp
    install/RecordedInstall.cpp
)
list(APPEND VSETUP_PURE_SOURCES
    install/ProgressThrottle.cpp
    install/DirectoryMemo.cpp
    install/BackgroundCloser.cpp
)

# The CRC-32's users once more with each path UpdateCrc32 can take forced in
# turn: the fastest one the processor has is all the plain run sees. A path
# this processor cannot run shows as skipped. ENVIRONMENT: the test's others.
function(vsetup_crc32_path_tests target)
    foreach(path table clmul128 clmul256)
        add_test(NAME ${target}_crc32_${path}
                 COMMAND ${target} --gtest_brief=1 --gtest_filter=Crc32.*:Archive*.*:ReadAheadStream.*)
        set_tests_properties(${target}_crc32_${path} PROPERTIES
            ENVIRONMENT "VSETUP_CRC32_PATH=${path};${ARGN}"
            SKIP_RETURN_CODE 77)
    endforeach()
endfunction()
