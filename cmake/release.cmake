# A release: everything it publishes, in one folder (ZORBLECK_DIST, dist/ in
# the source tree); release.sh says what and how.
set(ZORBLECK_DIST ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where a release is put together")
find_package(Git REQUIRED)

# The Windows and browser games beside this one, without their tests.
set(ZORBLECK_BESIDE_TESTS OFF CACHE BOOL "" FORCE)
include(${CMAKE_CURRENT_LIST_DIR}/platforms/beside.cmake)

add_custom_target(release
    COMMAND ${CMAKE_COMMAND} -E env GIT=${GIT_EXECUTABLE} CPACK=${CMAKE_CPACK_COMMAND} PYTHON=${ZORBLECK_PYTHON}
        sh ${CMAKE_CURRENT_LIST_DIR}/release.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${ZORBLECK_DIST}
            ${PROJECT_VERSION} ${ZORBLECK_SOURCE_DATE_EPOCH}
    DEPENDS zorbleck zorbleck_compressed_docs zorbleck_windows zorbleck_web
    USES_TERMINAL VERBATIM)
