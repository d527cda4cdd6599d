# The Windows build: setup.exe, the uninstaller, the tools and the tests run under Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_BINARY_DIR}/resources")

add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0600 STRICT WIN32_LEAN_AND_MEAN NOMINMAX)
add_compile_options(-Wall -Wextra)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
set(VSETUP_WIN_LIBS ${ZLIB_STATIC} comctl32 shell32 ole32 oleaut32 uuid gdi32 user32 advapi32 kernel32)

# Everything in the subsystem folders but the entry point is one library,
# so that tests drive the same code as setup.exe.
set(VSETUP_DIRS setup ui pages archive install shell folderchooser)
set(VSETUP_LIB_SOURCES)
foreach(dir ${VSETUP_DIRS})
    file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND VSETUP_LIB_SOURCES ${dir_sources})
endforeach()
list(REMOVE_ITEM VSETUP_LIB_SOURCES ${CMAKE_SOURCE_DIR}/setup/WinMain.cpp)
add_library(vsetup_lib STATIC ${VSETUP_LIB_SOURCES})
target_include_directories(vsetup_lib PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(vsetup_lib PUBLIC ${VSETUP_WIN_LIBS})

# Resources (dialogs, strings, bitmaps, icon, version).
add_library(vsetup_res OBJECT resources/vsetup.rc)

# Each manifest names the architecture its program is linked into: Windows
# binds the program to that architecture's Common Controls 6, and a 64-bit
# program asking for the x86 one does not start (0xC0000135).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VSETUP_MANIFEST_ARCH amd64)
else()
    set(VSETUP_MANIFEST_ARCH x86)
endif()
foreach(manifest resources/setup resources/tool uninstall/uninstall)
    get_filename_component(name ${manifest} NAME)
    configure_file(${manifest}.manifest.in ${CMAKE_BINARY_DIR}/resources/${name}.manifest @ONLY)
endforeach()
set_source_files_properties(resources/setup-manifest.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/resources/setup.manifest)
set_source_files_properties(resources/tool-manifest.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/resources/tool.manifest)
add_library(vsetup_manifest OBJECT resources/setup-manifest.rc)
add_library(vsetup_tool_manifest OBJECT resources/tool-manifest.rc)

add_executable(setup WIN32 setup/WinMain.cpp $<TARGET_OBJECTS:vsetup_res> $<TARGET_OBJECTS:vsetup_manifest>)
target_link_libraries(setup PRIVATE vsetup_lib)
# Shipped without symbols: the program then ends where its last section does,
# which is where a bundle goes (vsapack bundle).
target_link_options(setup PRIVATE $<$<CONFIG:Release>:-s>)

# The uninstaller, its own program of the installation set. Its code is a
# library of its own, kept out of setup.exe, that its tests link as well.
file(GLOB UNINSTALL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/uninstall/*.cpp)
list(REMOVE_ITEM UNINSTALL_SOURCES ${CMAKE_SOURCE_DIR}/uninstall/UninstallerMain.cpp)
add_library(vsetup_uninstall_lib STATIC ${UNINSTALL_SOURCES})
target_link_libraries(vsetup_uninstall_lib PUBLIC vsetup_lib)
set_source_files_properties(uninstall/VARNUINS.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/resources/uninstall.manifest)
add_executable(varnuins WIN32 uninstall/UninstallerMain.cpp uninstall/VARNUINS.rc)
set_target_properties(varnuins PROPERTIES OUTPUT_NAME VARNUINS SUFFIX .EXE)  # the name the set ships it under
target_link_libraries(varnuins PRIVATE vsetup_uninstall_lib)
target_link_options(varnuins PRIVATE $<$<CONFIG:Release>:-s>)

# Command-line tools: each folder under tools/ is one program.
file(GLOB TOOL_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*)
foreach(tool_dir ${TOOL_DIRS})
    if(IS_DIRECTORY ${tool_dir})
        get_filename_component(tool ${tool_dir} NAME)
        file(GLOB tool_sources CONFIGURE_DEPENDS ${tool_dir}/*.cpp)
        add_executable(${tool} ${tool_sources} $<TARGET_OBJECTS:vsetup_res> $<TARGET_OBJECTS:vsetup_tool_manifest>)
        list(APPEND VSETUP_TOOLS ${tool})
        target_link_libraries(${tool} PRIVATE vsetup_lib)
    endif()
endforeach()

# The manifests as Windows reads them from the built programs; needs no Wine.
set(manifest_checks setup:requireAdministrator varnuins:requireAdministrator)
foreach(tool ${VSETUP_TOOLS})
    list(APPEND manifest_checks ${tool}:asInvoker)
endforeach()
set(manifest_args)
foreach(check ${manifest_checks})
    string(REPLACE ":" ";" check ${check})
    list(GET check 0 target)
    list(GET check 1 level)
    list(APPEND manifest_args $<TARGET_FILE:${target}>=${level})
endforeach()
# The programs alone, without the test programs: all the manifests test needs.
add_custom_target(programs DEPENDS setup varnuins ${VSETUP_TOOLS})
add_test(NAME manifests COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/manifests/check_manifests.py ${manifest_args})
set_tests_properties(manifests PROPERTIES LABELS nowine)
# The shipped programs' import tables: known DLLs and Common Controls only.
add_test(NAME imports COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/manifests/check_imports.py
    $<TARGET_FILE:setup> $<TARGET_FILE:varnuins>)
set_tests_properties(imports PROPERTIES LABELS nowine)

# GoogleTest from Debian's sources, built with this toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(VSETUP_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
function(vsetup_win_test name)
    add_executable(${name} ${ARGN} $<TARGET_OBJECTS:vsetup_res> $<TARGET_OBJECTS:vsetup_manifest>)
    target_link_libraries(${name} PRIVATE vsetup_uninstall_lib gtest gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "WINEPREFIX=${VSETUP_WINEPREFIX};VSETUP_BUILD_DIR=${CMAKE_BINARY_DIR};VSETUP_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        TIMEOUT 600)
endfunction()

# The plain-logic tests run under Wine as well as natively.
file(GLOB PURE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/pure/*.cpp ${CMAKE_SOURCE_DIR}/tests/pure/archive/*.cpp)
vsetup_win_test(test_pure ${PURE_TEST_SOURCES})
vsetup_crc32_path_tests(test_pure
    "WINEPREFIX=${VSETUP_WINEPREFIX};VSETUP_BUILD_DIR=${CMAKE_BINARY_DIR};VSETUP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

# Each folder under tests/win/ is one test program (shared helpers in tests/support).
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
file(GLOB WIN_TEST_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*)
foreach(test_dir ${WIN_TEST_DIRS})
    if(IS_DIRECTORY ${test_dir})
        get_filename_component(suite ${test_dir} NAME)
        file(GLOB suite_sources CONFIGURE_DEPENDS ${test_dir}/*.cpp)
        vsetup_win_test(test_${suite} ${suite_sources} ${SUPPORT_SOURCES})
    endif()
endforeach()

# Later build steps (end-to-end driver, benchmarks) hook in here.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tests/e2e)
endif()

# The programs start in a prefix holding the Common Controls of both
# architectures, as prefixes do where Wine's 32-bit half runs.
add_test(NAME manifests_mixed_prefix COMMAND bash ${CMAKE_SOURCE_DIR}/tests/manifests/mixed-prefix.sh)
set_tests_properties(manifests_mixed_prefix PROPERTIES
    ENVIRONMENT "VSETUP_BUILD_DIR=${CMAKE_BINARY_DIR};VSETUP_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 180 SKIP_RETURN_CODE 77)
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
    add_subdirectory(bench)
endif()
