# The window's rules for the C++ suites, as a header made from the one file
# that states them for every test.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/window.py)
execute_process(COMMAND ${ZORBLECK_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/window.py
    ${PROJECT_BINARY_DIR}/rules/window_rules.h COMMAND_ERROR_IS_FATAL ANY)
