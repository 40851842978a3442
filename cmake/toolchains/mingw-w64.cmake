# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix
# thread model, so std::thread and std::mutex work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORBLECK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORBLECK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORBLECK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORBLECK_MINGW}-windres)
set(CMAKE_AR ${ZORBLECK_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZORBLECK_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come from the target's tree only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZORBLECK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built for Windows run here under Wine (the tests, the bench): each
# in an X server of its own, since they make real windows, and a fresh prefix,
# through Debian's python, which has what the tests import.
get_filename_component(ZORBLECK_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/python3 ${ZORBLECK_SOURCE_DIR}/tests/win32/underwine.py)

# Every function and object in a section of its own, so that the linker can
# drop what the program never calls.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
