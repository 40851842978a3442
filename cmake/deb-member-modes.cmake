# Run by cpack once the .deb is written (CPACK_POST_BUILD_SCRIPTS).
#
# A .deb is an ar archive of three members, and CPack gives each the mode its
# file had on disk, which follows the builder's umask. Debian's own tools
# write 100644; so does this, in place, header by header.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    file(READ "${deb}" magic LIMIT 8)
    if(NOT magic STREQUAL "!<arch>\n")
        message(FATAL_ERROR "${deb} is not an ar archive")
    endif()
    file(SIZE "${deb}" end)
    set(mode "${deb}.mode")
    file(WRITE "${mode}" "100644  ")
    set(header 8)
    while(header LESS end)
        # name 16, time 12, owner 6, group 6, mode 8, size 10, "`\n"
        file(READ "${deb}" fields OFFSET ${header} LIMIT 60)
        string(SUBSTRING "${fields}" 58 2 terminator)
        if(NOT terminator STREQUAL "`\n")
            message(FATAL_ERROR "${deb}: no ar member header at byte ${header}")
        endif()
        string(SUBSTRING "${fields}" 48 10 size)
        string(STRIP "${size}" size)
        math(EXPR at "${header} + 40")
        execute_process(COMMAND dd "if=${mode}" "of=${deb}" bs=1 seek=${at} conv=notrunc status=none
            COMMAND_ERROR_IS_FATAL ANY)
        # Members start on even bytes.
        math(EXPR header "${header} + 60 + ${size} + ${size} % 2")
    endwhile()
    file(REMOVE "${mode}")
endforeach()
