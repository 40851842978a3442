# Read by cpack, not by the build (CPACK_PROJECT_CONFIG_FILE): the package's
# times are the build's time from configure, unless SOURCE_DATE_EPOCH is set
# for this run of cpack.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "" AND CPACK_ZORBLECK_SOURCE_DATE_EPOCH)
    set(ENV{SOURCE_DATE_EPOCH} "${CPACK_ZORBLECK_SOURCE_DATE_EPOCH}")
endif()
# A zip's member times are local times: those of UTC, whatever the builder's
# time zone.
set(ENV{TZ} "UTC")
