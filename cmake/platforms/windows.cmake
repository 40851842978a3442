# Windows: the game as one small GUI program on plain Win32, cross-built with
# mingw-w64 (cmake --workflow --preset windows), its tests and its bench.

# Every program here is linked statically (libgcc, libstdc++, winpthread), so
# that it imports nothing but Windows' own DLLs; unused code is dropped, the
# symbols stripped, and the link time left out of the header so that two
# builds give the same file.
enable_language(RC)

add_link_options(-static -Wl,--gc-sections -s -Wl,--no-insert-timestamp
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)

add_subdirectory(src/win32)
if(BUILD_TESTING)
    add_subdirectory(tests/win32)
    add_subdirectory(tests/static)
endif()
add_subdirectory(bench/win32)

# cpack -G ZIP: the program, a short text and the licence.
install(TARGETS zorbleck RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/windows/README.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION . RENAME COPYING.txt)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "zorbleck-${PROJECT_VERSION}-windows-x86_64")
# That hook rewrites a .deb; there is none here.
set(CPACK_POST_BUILD_SCRIPTS "")
include(CPack)

# The Windows Installer package beside the zip.
include(${CMAKE_CURRENT_LIST_DIR}/windows-msi.cmake)
