# The native build: the plain logic under AddressSanitizer and UBSan, the fuzz
# targets (clang only) and the Linux versions of the tools.
option(VSETUP_SANITIZE "Build with AddressSanitizer and UBSan" ON)
add_compile_options(-Wall -Wextra)
if(VSETUP_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
endif()

find_package(ZLIB REQUIRED)
list(TRANSFORM VSETUP_PURE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
add_library(vsetup_pure STATIC ${VSETUP_PURE_SOURCES})
target_include_directories(vsetup_pure PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vsetup_pure PUBLIC ZLIB::ZLIB)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB PURE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/pure/*.cpp ${CMAKE_SOURCE_DIR}/tests/pure/archive/*.cpp)
add_executable(test_pure_native ${PURE_TEST_SOURCES})
target_link_libraries(test_pure_native PRIVATE vsetup_pure gtest gtest_main)
target_include_directories(test_pure_native PRIVATE ${CMAKE_SOURCE_DIR}/tests)
add_test(NAME test_pure_native COMMAND test_pure_native --gtest_brief=1)
set_tests_properties(test_pure_native PROPERTIES ENVIRONMENT "VSETUP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
vsetup_crc32_path_tests(test_pure_native "VSETUP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

# Tools whose folder holds a PORTABLE marker build natively too.
file(GLOB TOOL_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*)
foreach(tool_dir ${TOOL_DIRS})
    if(IS_DIRECTORY ${tool_dir} AND EXISTS ${tool_dir}/PORTABLE)
        get_filename_component(tool ${tool_dir} NAME)
        file(GLOB tool_sources CONFIGURE_DEPENDS ${tool_dir}/*.cpp)
        add_executable(${tool} ${tool_sources})
        target_link_libraries(${tool} PRIVATE vsetup_pure)
    endif()
endforeach()

# The publisher's commands end to end: vsapack create and check on a good set
# and on each usual mistake.
add_test(NAME vsapack_publisher_check COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/publisher-check.sh $<TARGET_FILE:vsapack>)
if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
    set_tests_properties(vsapack_publisher_check PROPERTIES ENVIRONMENT "VSETUP_EMULATOR=${emulator}")
endif()

# libFuzzer targets: one per file in fuzz/.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
    foreach(fuzz_source ${FUZZ_SOURCES})
        get_filename_component(fuzz_name ${fuzz_source} NAME_WE)
        add_executable(${fuzz_name} ${fuzz_source})
        target_compile_options(${fuzz_name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${fuzz_name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${fuzz_name} PRIVATE vsetup_pure)
    endforeach()
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
    add_subdirectory(bench)
endif()
