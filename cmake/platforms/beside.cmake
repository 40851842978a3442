# The Windows and browser games, built from this same source tree beside the
# Linux one (into ${PROJECT_BINARY_DIR}/windows and /web), each with its own
# toolchain and its own tests, which this build's ctest runs with the rest.
include(ExternalProject)

# Rebuilt when a file it is made from changes, and only then.
function(zorbleck_beside name toolchain)
    set(binary ${PROJECT_BINARY_DIR}/${name})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS LIST_DIRECTORIES false ${ARGN})
    ExternalProject_Add(zorbleck_${name}
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${binary}
        CMAKE_ARGS
            --toolchain ${toolchain}
            -DCMAKE_BUILD_TYPE=MinSizeRel
            -DZORBLECK_WERROR=${ZORBLECK_WERROR}
            -DBUILD_TESTING=ON
        INSTALL_COMMAND ""
        TEST_COMMAND ""
        USES_TERMINAL_BUILD ON)
    ExternalProject_Add_StepDependencies(zorbleck_${name} build ${sources})
    file(APPEND ${PROJECT_BINARY_DIR}/beside-tests.cmake "subdirs(\"${binary}\")\n")
endfunction()

set(common ${PROJECT_SOURCE_DIR}/CMakeLists.txt ${PROJECT_SOURCE_DIR}/cmake/*.cmake
    ${PROJECT_SOURCE_DIR}/src/game/* ${PROJECT_SOURCE_DIR}/data/icons/*)
file(WRITE ${PROJECT_BINARY_DIR}/beside-tests.cmake "")
zorbleck_beside(windows ${PROJECT_SOURCE_DIR}/cmake/toolchains/mingw-w64.cmake ${common}
    ${PROJECT_SOURCE_DIR}/cmake/platforms/windows.cmake ${PROJECT_SOURCE_DIR}/cmake/toolchains/mingw-w64.cmake
    ${PROJECT_SOURCE_DIR}/src/win32/* ${PROJECT_SOURCE_DIR}/tests/win32/* ${PROJECT_SOURCE_DIR}/bench/win32/*
    ${PROJECT_SOURCE_DIR}/data/windows/* ${PROJECT_SOURCE_DIR}/cmake/msi-summary.py)
zorbleck_beside(web ${PROJECT_SOURCE_DIR}/cmake/toolchains/emscripten.cmake ${common}
    ${PROJECT_SOURCE_DIR}/cmake/platforms/web.cmake ${PROJECT_SOURCE_DIR}/cmake/toolchains/emscripten.cmake
    ${PROJECT_SOURCE_DIR}/src/web/* ${PROJECT_SOURCE_DIR}/tests/web/* ${PROJECT_SOURCE_DIR}/bench/web/*)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${PROJECT_BINARY_DIR}/beside-tests.cmake)
