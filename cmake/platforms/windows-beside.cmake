# The Windows program, cross-built with mingw-w64 beside the Linux build into
# ${PROJECT_BINARY_DIR}/windows, and tested under Wine with the rest.
include(ExternalProject)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
ExternalProject_Add(zorbleck_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/windows
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchains/mingw-w64.cmake
        -DCMAKE_BUILD_TYPE=MinSizeRel
        -DZORBLECK_WERROR=${ZORBLECK_WERROR}
        -DBUILD_TESTING=ON
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    TEST_COMMAND "")

set(windows_build ${PROJECT_BINARY_DIR}/windows)
# The front end's own suite: real windows of the game, driven by messages.
add_test(NAME wine_suite COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/win32/underwine.py
    ${windows_build}/tst_win32.exe)
set_tests_properties(wine_suite PROPERTIES TIMEOUT 180 LABELS wine)
# The program as a player meets it, bare and under a window manager.
foreach(mode bare openbox)
    add_test(NAME e2e_wine_${mode} COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/e2e/play.py
        ${windows_build}/zorbleck.exe wine-${mode})
    set_tests_properties(e2e_wine_${mode} PROPERTIES TIMEOUT 300 LABELS "e2e;wine")
endforeach()
