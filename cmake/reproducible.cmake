# Two builds of one commit, in any folders and at any time, give the same
# binary and the same package, with nothing for the builder to set.
#
# Include from the top-level CMakeLists.txt before the targets are made.
# Sets ZORBLECK_SOURCE_DATE_EPOCH: the time that stands for "when" in
# everything built, SOURCE_DATE_EPOCH if the builder set it, else the time of
# the last commit, else the date of the last changelog entry.

# Build paths stay out of the objects: the GNU build-id hashes the whole
# linked file, debug information included, so a path there would change the
# stripped binary as well. The build folder comes last since it may lie in
# the source folder, and GCC tries the last match first.
add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=." "-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")

if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(ZORBLECK_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --show-toplevel --git-path logs/HEAD
            WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
            OUTPUT_VARIABLE git_paths OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_failed)
    endif()
    # Only our own repository: a tarball unpacked inside another one must not
    # take that one's commit.
    if(GIT_FOUND AND NOT git_failed)
        string(REPLACE "\n" ";" git_paths "${git_paths}")
        list(GET git_paths 0 git_top)
        list(GET git_paths 1 head_log)
        file(REAL_PATH "${git_top}" git_top)
        file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_top)
        if(git_top STREQUAL source_top)
            execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
                WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
                OUTPUT_VARIABLE ZORBLECK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            # A new commit or checkout moves HEAD's log: configure again, so
            # the time follows the commit.
            cmake_path(ABSOLUTE_PATH head_log BASE_DIRECTORY "${PROJECT_SOURCE_DIR}")
            if(EXISTS "${head_log}")
                set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
            endif()
        endif()
    endif()
    if(NOT ZORBLECK_SOURCE_DATE_EPOCH AND EXISTS "${PROJECT_SOURCE_DIR}/SOURCE_DATE_EPOCH")
        # A release's tarball: the time of the commit it was made from.
        file(STRINGS "${PROJECT_SOURCE_DIR}/SOURCE_DATE_EPOCH" ZORBLECK_SOURCE_DATE_EPOCH LIMIT_COUNT 1)
    endif()
    if(NOT ZORBLECK_SOURCE_DATE_EPOCH)
        # No history: the release's own date, as Debian's tools take it.
        file(STRINGS "${PROJECT_SOURCE_DIR}/data/changelog" signoff REGEX "^ -- " LIMIT_COUNT 1)
        string(REGEX REPLACE "^ -- .*>  " "" release_date "${signoff}")
        execute_process(COMMAND date --utc --date "${release_date}" +%s
            OUTPUT_VARIABLE ZORBLECK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
endif()
if(NOT ZORBLECK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No build time: set SOURCE_DATE_EPOCH to a time in seconds since 1970")
endif()
message(STATUS "Build time for reproducible output: ${ZORBLECK_SOURCE_DATE_EPOCH}")

# CPack takes every time in the package (files, archive members, gzip
# header) from SOURCE_DATE_EPOCH; this hook sets it when cpack runs, unless
# the builder did.
set(CPACK_ZORBLECK_SOURCE_DATE_EPOCH "${ZORBLECK_SOURCE_DATE_EPOCH}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/cpack-time.cmake")
# xz output depends on how many threads compress it.
set(CPACK_THREADS 1)
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/deb-member-modes.cmake")
