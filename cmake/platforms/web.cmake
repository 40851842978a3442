# The browser: the game compiled to WebAssembly, a static folder of
# index.html, zorbleck.css, zorbleck.js and zorbleck.wasm to serve as it is,
# played from outside in the browser engines.

# The game reports an error by throwing, and its handlers catch it.
target_compile_options(zorbleck_core PUBLIC -fexceptions)

add_subdirectory(src/web)
add_subdirectory(bench/web)
if(BUILD_TESTING)
    add_subdirectory(tests/web)
endif()
