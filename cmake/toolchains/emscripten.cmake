# Building for the browser with Debian's emscripten. Its emcc runs scripts
# that need Debian's node modules, at configure and at build time alike.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

set(ENV{NODE_PATH} /usr/share/nodejs)
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
