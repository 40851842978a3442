# The browser: the game compiled to WebAssembly, in a folder (page/ in the
# build folder) that holds what is served and nothing else, played from
# outside in three browser engines.

# The game reports an error by throwing, and its handlers catch it.
target_compile_options(zorbleck_core PUBLIC -fexceptions)

set(ZORBLECK_PAGE_DIR ${CMAKE_BINARY_DIR}/page)
add_subdirectory(src/web)
add_subdirectory(bench/web)
if(BUILD_TESTING)
    add_subdirectory(tests/web)
    add_subdirectory(tests/static)
endif()
