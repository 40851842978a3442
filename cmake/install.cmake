# Install layout and Debian package for Zorbleck.
#
# Include from the top-level CMakeLists.txt once the `zorbleck` target exists
# (the binary goes to games/, as Debian wants for games):
#
#     include(cmake/install.cmake)
#
#     cmake -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
#     cmake --build build && (cd build && cpack)   # zorbleck_<ver>_<arch>.deb
#
# Debian expects a hardened binary (lintian's hardening-* tags); the build has
# to supply these, this file does not:
#   compile  -O2 -D_FORTIFY_SOURCE=2 -fstack-protector-strong
#            (fortify does nothing without optimisation: use Release or
#             RelWithDebInfo, or add -O2 yourself)
#   PIE      set(CMAKE_POSITION_INDEPENDENT_CODE ON) before the target, plus
#            include(CheckPIESupported) and check_pie_supported()
#            (Debian's GCC defaults to PIE anyway; this keeps it explicit)
#   link     -Wl,-z,relro -Wl,-z,now
# e.g. target_compile_options(zorbleck PRIVATE -fstack-protector-strong
#          $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
#      target_link_options(zorbleck PRIVATE -Wl,-z,relro -Wl,-z,now)
#
# Packaging needs gzip and, for the dependency list, dpkg-shlibdeps
# (Debian package dpkg-dev).

if(NOT TARGET zorbleck)
    message(FATAL_ERROR "include install.cmake after add_executable(zorbleck)")
endif()

# Debian keeps games out of bin/.  find_package(Qt6) has usually cached the
# stock "bin" already, so replace that; any other choice is left alone.
if(NOT DEFINED CACHE{CMAKE_INSTALL_BINDIR} OR "$CACHE{CMAKE_INSTALL_BINDIR}" STREQUAL "bin")
    set(CMAKE_INSTALL_BINDIR "games" CACHE PATH "Directory for the game binary" FORCE)
endif()
include(GNUInstallDirs)

cmake_path(SET ZORBLECK_DATA_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../data")
set(ZORBLECK_ID io.github.zorbleck.Zorbleck)
set(ZORBLECK_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/zorbleck")

set(ZORBLECK_FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(ZORBLECK_DIR_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Without these, directories the install creates follow the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${ZORBLECK_DIR_PERMISSIONS})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${ZORBLECK_DIR_PERMISSIONS})

# Man page and changelog ship gzipped; -n leaves out the name and time stamp
# so the package is reproducible.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(ZORBLECK_GZ_DIR "${CMAKE_CURRENT_BINARY_DIR}/compressed-docs")
set(ZORBLECK_GZ_FILES)
foreach(doc IN ITEMS zorbleck.6 changelog)
    set(gz "${ZORBLECK_GZ_DIR}/${doc}.gz")
    add_custom_command(OUTPUT "${gz}"
        COMMAND "${CMAKE_COMMAND}" -E copy "${ZORBLECK_DATA_DIR}/${doc}" "${ZORBLECK_GZ_DIR}/${doc}"
        COMMAND "${GZIP_EXECUTABLE}" -9nf "${ZORBLECK_GZ_DIR}/${doc}"
        DEPENDS "${ZORBLECK_DATA_DIR}/${doc}"
        COMMENT "Compressing ${doc}"
        VERBATIM)
    list(APPEND ZORBLECK_GZ_FILES "${gz}")
endforeach()
add_custom_target(zorbleck_compressed_docs ALL DEPENDS ${ZORBLECK_GZ_FILES})

install(TARGETS zorbleck RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# `cmake --install --strip` and CPack only drop symbols; also drop the
# compiler's notes as Debian's own packaging does.
if(CMAKE_STRIP)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\"
                --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:zorbleck>\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endif()

install(FILES "${ZORBLECK_DATA_DIR}/${ZORBLECK_ID}.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
    PERMISSIONS ${ZORBLECK_FILE_PERMISSIONS})
install(FILES "${ZORBLECK_DATA_DIR}/${ZORBLECK_ID}.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo"
    PERMISSIONS ${ZORBLECK_FILE_PERMISSIONS})
foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES "${ZORBLECK_DATA_DIR}/icons/${size}.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
        RENAME "${ZORBLECK_ID}.png"
        PERMISSIONS ${ZORBLECK_FILE_PERMISSIONS})
endforeach()
install(FILES "${ZORBLECK_GZ_DIR}/zorbleck.6.gz"
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man6"
    PERMISSIONS ${ZORBLECK_FILE_PERMISSIONS})
install(FILES "${ZORBLECK_GZ_DIR}/changelog.gz" "${ZORBLECK_DATA_DIR}/copyright"
    DESTINATION "${ZORBLECK_DOCDIR}"
    PERMISSIONS ${ZORBLECK_FILE_PERMISSIONS})

# Debian package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbleck)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Zorbleck developers")
set(CPACK_PACKAGE_CONTACT "Zorbleck developers <zorbleck@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorbleck.github.io/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")  # native on Wayland desktops; see README
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The synopsis line is set here rather than taken from project(DESCRIPTION):
# Debian wants it without a leading article.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reaction game with jumping coloured boxes")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
Zorbleck is a quick mouse game for one player. For 46 seconds three
boxes, red, blue and green, jump about the window; click them to score
one, three or four points.

Choose between the Slow, Average and Impossible difficulties and
try to beat your own score.]])
include(CPack)
