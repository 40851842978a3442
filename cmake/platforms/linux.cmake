# Linux: the Qt front end, its package, the benchmarks and every test.
add_subdirectory(src/qt)
add_subdirectory(bench)
include(cmake/install.cmake)

include(CTest)
if(BUILD_TESTING)
    add_subdirectory(tests)
endif()

# The Windows and browser games, cross-built beside this one, so that their
# end-to-end tests run with the rest.
option(ZORBLECK_OTHER_PLATFORMS "Also build the Windows and browser games, for their tests" ON)
if(BUILD_TESTING AND ZORBLECK_OTHER_PLATFORMS)
    include(cmake/platforms/windows-beside.cmake OPTIONAL)
    include(cmake/platforms/web-beside.cmake OPTIONAL)
endif()
