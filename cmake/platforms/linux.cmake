# Linux: the Qt front end, its package, the benchmarks and every test.
add_subdirectory(src/qt)
add_subdirectory(bench)
include(cmake/install.cmake)

include(CTest)
if(BUILD_TESTING)
    add_subdirectory(tests)
endif()
