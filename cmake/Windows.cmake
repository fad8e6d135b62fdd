# The Windows build: zorvik-cli.exe, the window zorvik-gsm.exe (its own face over form/, no Qt),
# the libraries below them, and their unit tests, which run under Wine.

# Static programs: no libstdc++, libgcc or winpthread DLL beside the exe, only Windows' own.
add_link_options(-static -static-libgcc -static-libstdc++)
# The released exe carries no symbols: it stays small enough to mail.
add_link_options($<$<CONFIG:Release>:-s>)
# Wide-character Windows calls only, Windows 10's API, no min/max macros over std::min.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# mingw-w64's gcc 12 warns of an overlapping copy inside std::string that cannot happen (its
# -Wrestrict false positive at -O2); Linux's gcc, with the same sources, does not.
add_compile_options(-Wno-restrict)

find_package(Threads REQUIRED)

# nlohmann-json is headers alone: Debian's copy serves the Windows build too. Only its own folder
# is offered, never /usr/include, whose headers are Linux's.
find_path(ZORVIK_NLOHMANN_ROOT nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(zorvik_json_root ${CMAKE_BINARY_DIR}/include/nlohmann_json)
if(NOT IS_SYMLINK ${zorvik_json_root}/nlohmann)
    file(MAKE_DIRECTORY ${zorvik_json_root})
    file(CREATE_LINK ${ZORVIK_NLOHMANN_ROOT}/nlohmann ${zorvik_json_root}/nlohmann SYMBOLIC)
endif()
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${zorvik_json_root})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

foreach(folder IN LISTS ZORVIK_PLAIN_LIBRARIES)
    add_subdirectory(${folder})
endforeach()
add_subdirectory(cli)
add_subdirectory(win32)

# The least a Windows program does, for bench-wine's start-up figure.
add_executable(trivial bench/Trivial.cpp)
set_target_properties(trivial PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
# The window's start-up beside the command line's, timed under Wine from one process.
add_executable(gsm-start-bench bench/GsmStartBench.cpp)
target_link_options(gsm-start-bench PRIVATE -municode)
set_target_properties(gsm-start-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

if(ZORVIK_TESTS)
    # GoogleTest from Debian's sources (googletest), built for Windows like the rest.
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    enable_testing()
    add_subdirectory(tests/windows)
    add_subdirectory(tests/win32)
endif()
