# The browser: the game compiled to WebAssembly, a static folder of
# index.html, zorbleck.css, zorbleck.js and zorbleck.wasm to serve as it is.
#
# Asyncify lets the game's one thread wait inside a handler (a dialog, the
# pause's yield to the browser) and carry on where it stopped.
set(web ${PROJECT_SOURCE_DIR}/src/web)

# The game reports an error by throwing, and its handlers catch it.
target_compile_options(zorbleck_core PUBLIC -fexceptions)

add_executable(zorbleck ${web}/main.cpp ${web}/web_page.h ${web}/web_page.cpp)
target_include_directories(zorbleck PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zorbleck PRIVATE zorbleck_core zorbleck_warnings)
target_link_options(zorbleck PRIVATE
    -fexceptions
    -sASYNCIFY
    -sASYNCIFY_IMPORTS=zb_next_event,zb_message_box,zb_yield
    # A pause inside a handler inside a pause: more stack to put aside.
    -sASYNCIFY_STACK_SIZE=65536
    -sENVIRONMENT=web
    -sFILESYSTEM=0
    -sEXPORTED_FUNCTIONS=_main,_zb_fail,_malloc,_free
    "SHELL:--pre-js ${web}/page.js")
set_target_properties(zorbleck PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    LINK_DEPENDS ${web}/page.js)

# The page's other files, beside the script.
foreach(file index.html zorbleck.css)
    configure_file(${web}/${file} ${CMAKE_BINARY_DIR}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/icons/zorbleck.ico ${CMAKE_BINARY_DIR}/zorbleck.ico COPYONLY)
