# The Windows Installer package zorbleck-<version>-win64.msi, built beside the
# zip by Debian's wixl from data/windows/zorbleck.wxs.in: per user, with no
# administrator. Included by windows.cmake; needs the target zorbleck.
#
# Two builds of one commit give the same file: the files go into the cabinet
# with the build's time (ZORBLECK_SOURCE_DATE_EPOCH, see reproducible.cmake),
# and msi-summary.py sets that time and a package code in the summary stream,
# where wixl puts the clock's time and a random code.
find_program(ZORBLECK_WIXL wixl REQUIRED)
# The summary is written through libmsi from Debian's python3-gi.

# Never to change: a newer version finds the older one by it and replaces it.
set(ZORBLECK_MSI_UPGRADE_CODE 97C2B05C-522B-421C-BCD5-158DD4B62E77)
# A new product code for every version, as a major upgrade needs; a new
# package code for every commit, since Windows takes two packages with one
# code for the same.
string(UUID ZORBLECK_MSI_PRODUCT_CODE NAMESPACE ${ZORBLECK_MSI_UPGRADE_CODE}
    NAME "product ${PROJECT_VERSION}" TYPE SHA1 UPPER)
string(UUID msi_package_code NAMESPACE ${ZORBLECK_MSI_UPGRADE_CODE}
    NAME "package ${PROJECT_VERSION} ${ZORBLECK_SOURCE_DATE_EPOCH}" TYPE SHA1 UPPER)

# wixl takes the files by their names in the folder it runs in.
set(msi_stage ${CMAKE_BINARY_DIR}/msi)
set(msi ${CMAKE_BINARY_DIR}/zorbleck-${PROJECT_VERSION}-win64.msi)
configure_file(${PROJECT_SOURCE_DIR}/data/windows/zorbleck.wxs.in ${msi_stage}/zorbleck.wxs @ONLY)
set(msi_files zorbleck.exe README.txt COPYING.txt zorbleck.ico)
add_custom_command(OUTPUT ${msi}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:zorbleck> ${PROJECT_SOURCE_DIR}/data/windows/README.txt
        ${PROJECT_SOURCE_DIR}/data/icons/zorbleck.ico ${msi_stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/copyright ${msi_stage}/COPYING.txt
    COMMAND touch -d @${ZORBLECK_SOURCE_DATE_EPOCH} ${msi_files}
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZORBLECK_WIXL} -a x64 -o ${msi} zorbleck.wxs
    COMMAND ${ZORBLECK_PYTHON} ${PROJECT_SOURCE_DIR}/cmake/msi-summary.py
        ${msi} ${ZORBLECK_SOURCE_DATE_EPOCH} ${msi_package_code}
    DEPENDS zorbleck ${msi_stage}/zorbleck.wxs ${PROJECT_SOURCE_DIR}/cmake/msi-summary.py
        ${PROJECT_SOURCE_DIR}/data/windows/README.txt ${PROJECT_SOURCE_DIR}/data/copyright
        ${PROJECT_SOURCE_DIR}/data/icons/zorbleck.ico
    WORKING_DIRECTORY ${msi_stage}
    COMMENT "Building the Windows Installer package ${msi}"
    VERBATIM)
add_custom_target(zorbleck_msi ALL DEPENDS ${msi})

# The package installed into a fresh Wine prefix, played, upgraded in place by
# a newer build of itself, and removed.
if(BUILD_TESTING)
    add_test(NAME e2e_wine_installer COMMAND ${ZORBLECK_PYTHON} ${PROJECT_SOURCE_DIR}/tests/e2e/installer.py
        ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e_wine_installer PROPERTIES TIMEOUT 300 LABELS "e2e;wine")
endif()
