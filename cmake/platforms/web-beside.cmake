# The browser game, built beside the Linux one from this same source tree
# into ${PROJECT_BINARY_DIR}/web (the page itself in web/page), and played in
# three browser engines by the end-to-end tests. Debian's emcc needs Debian's
# node modules on NODE_PATH.
include(ExternalProject)
set(ZORBLECK_EMSCRIPTEN_TOOLCHAIN /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
    CACHE FILEPATH "Emscripten's CMake toolchain file")
set(web_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
ExternalProject_Add(zorbleck_web
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/web
    CONFIGURE_COMMAND ${web_env} ${CMAKE_COMMAND} -G Ninja -S <SOURCE_DIR> -B <BINARY_DIR>
        --toolchain ${ZORBLECK_EMSCRIPTEN_TOOLCHAIN}
        -DCMAKE_BUILD_TYPE=MinSizeRel -DZORBLECK_WERROR=${ZORBLECK_WERROR}
    BUILD_COMMAND ${web_env} ${CMAKE_COMMAND} --build <BINARY_DIR>
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)

# Debian's python3-selenium is for Debian's own python, which another
# python3 on PATH may hide.
find_program(ZORBLECK_DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
# One test per browser engine: Chromium plays every scenario, WebKitGTK and
# Firefox ESR (each in a window on its own Xvfb) the rules, the layout and a
# whole game.
foreach(engine chromium webkit firefox)
    add_test(NAME e2e_browser_${engine} COMMAND ${ZORBLECK_DEBIAN_PYTHON}
        ${PROJECT_SOURCE_DIR}/tests/e2e/play.py ${PROJECT_BINARY_DIR}/web/page ${engine})
    set_tests_properties(e2e_browser_${engine} PROPERTIES TIMEOUT 240 LABELS "e2e;browser")
endforeach()
# The installed web app in Chromium: installable, plays with the server
# gone, takes a new build at the next reload.
add_test(NAME e2e_browser_offline COMMAND ${ZORBLECK_DEBIAN_PYTHON}
    ${PROJECT_SOURCE_DIR}/tests/e2e/play.py ${PROJECT_BINARY_DIR}/web/page offline)
set_tests_properties(e2e_browser_offline PROPERTIES TIMEOUT 120 LABELS "e2e;browser")

# Figures from one engine (ZORBLECK_BENCH_ENGINE=chromium, webkit or
# firefox in the environment; Chromium if unset): the pause, passes per game,
# a press to its count, the page's size and its start-up.
add_custom_target(bench_web
    COMMAND ${ZORBLECK_DEBIAN_PYTHON} ${PROJECT_SOURCE_DIR}/bench/web/bench.py ${PROJECT_BINARY_DIR}/web/page
    DEPENDS zorbleck_web
    USES_TERMINAL VERBATIM)
