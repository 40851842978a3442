# The Windows and browser games, built from this same source tree beside the
# Linux one (into ${PROJECT_BINARY_DIR}/windows and /web), each with its own
# toolchain. With ZORBLECK_BESIDE_TESTS on, each builds its own tests too,
# and this build's ctest runs them with the rest.
include(ExternalProject)
option(ZORBLECK_BESIDE_TESTS "Build and run the tests of the games built beside" ON)

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
            -DBUILD_TESTING=${ZORBLECK_BESIDE_TESTS}
        INSTALL_COMMAND ""
        TEST_COMMAND ""
        USES_TERMINAL_BUILD ON)
    ExternalProject_Add_StepDependencies(zorbleck_${name} build ${sources})
    if(ZORBLECK_BESIDE_TESTS)
        file(APPEND ${PROJECT_BINARY_DIR}/beside-tests.cmake "subdirs(\"${binary}\")\n")
    endif()
endfunction()

# What both builds are made from: the build files, the game, what the tests
# share, and the icons.
set(common ${PROJECT_SOURCE_DIR}/CMakeLists.txt ${PROJECT_SOURCE_DIR}/cmake/*
    ${PROJECT_SOURCE_DIR}/src/game/* ${PROJECT_SOURCE_DIR}/tests/support/* ${PROJECT_SOURCE_DIR}/tests/static/*
    ${PROJECT_SOURCE_DIR}/tests/CMakeLists.txt ${PROJECT_SOURCE_DIR}/data/*)
file(WRITE ${PROJECT_BINARY_DIR}/beside-tests.cmake "")
zorbleck_beside(windows ${PROJECT_SOURCE_DIR}/cmake/toolchains/mingw-w64.cmake ${common}
    ${PROJECT_SOURCE_DIR}/src/win32/* ${PROJECT_SOURCE_DIR}/tests/win32/* ${PROJECT_SOURCE_DIR}/bench/win32/*)
zorbleck_beside(web ${PROJECT_SOURCE_DIR}/cmake/toolchains/emscripten.cmake ${common}
    ${PROJECT_SOURCE_DIR}/src/web/* ${PROJECT_SOURCE_DIR}/tests/web/* ${PROJECT_SOURCE_DIR}/bench/web/*)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${PROJECT_BINARY_DIR}/beside-tests.cmake)
