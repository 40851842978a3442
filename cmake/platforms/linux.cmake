# Linux: the Qt front end, its package, its benchmarks, and its tests with
# the game's own suites and the checks of the whole tree.
add_subdirectory(src/qt)
include(cmake/install.cmake)

if(BUILD_TESTING)
    add_subdirectory(bench)
    add_subdirectory(tests/game)
    add_subdirectory(tests/qt)
    add_subdirectory(tests)
    add_subdirectory(tests/static)
endif()

# The Windows and browser games, cross-built beside this one, so that their
# tests run with the rest.
option(ZORBLECK_OTHER_PLATFORMS "Also build the Windows and browser games, for their tests" ON)
if(BUILD_TESTING AND ZORBLECK_OTHER_PLATFORMS)
    include(cmake/platforms/beside.cmake)
endif()
