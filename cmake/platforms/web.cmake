# The browser: the game compiled to WebAssembly, a static folder of
# index.html, zorbleck.css, zorbleck.js and zorbleck.wasm to serve as it is.
# That folder, page/ in the build directory, holds what is served and
# nothing else: a web server publishes all of it.
#
# Asyncify lets the game's one thread wait inside a handler (a dialog, the
# pause's yield to the browser) and carry on where it stopped.
set(web ${PROJECT_SOURCE_DIR}/src/web)
set(ZORBLECK_PAGE_DIR ${CMAKE_BINARY_DIR}/page)

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
    RUNTIME_OUTPUT_DIRECTORY ${ZORBLECK_PAGE_DIR}
    LINK_DEPENDS ${web}/page.js)

# The page's other files, beside the script.
foreach(file index.html zorbleck.css zorbleck.webmanifest)
    configure_file(${web}/${file} ${ZORBLECK_PAGE_DIR}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/icons/zorbleck.ico ${ZORBLECK_PAGE_DIR}/zorbleck.ico COPYONLY)
foreach(size 192 512)
    configure_file(${PROJECT_SOURCE_DIR}/data/icons/${size}.png ${ZORBLECK_PAGE_DIR}/zorbleck-${size}.png COPYONLY)
endforeach()

# The service worker, with the build named by a hash of every other file it
# serves: a new build gets a cache of its own, and the same build the same name.
set(page_files index.html zorbleck.css zorbleck.js zorbleck.wasm zorbleck.ico zorbleck.webmanifest
    zorbleck-192.png zorbleck-512.png)
list(TRANSFORM page_files PREPEND ${ZORBLECK_PAGE_DIR}/)
add_custom_command(OUTPUT ${ZORBLECK_PAGE_DIR}/sw.js
    COMMAND ${CMAKE_COMMAND} -DWORKER=${web}/sw.js -DOUTPUT=${ZORBLECK_PAGE_DIR}/sw.js
        "-DFILES=${page_files}" -P ${PROJECT_SOURCE_DIR}/cmake/platforms/web-worker.cmake
    # The linked script stands for the wasm beside it.
    DEPENDS zorbleck ${web}/sw.js ${web}/index.html ${web}/zorbleck.css ${web}/zorbleck.webmanifest
        ${PROJECT_SOURCE_DIR}/data/icons/192.png ${PROJECT_SOURCE_DIR}/data/icons/512.png
        ${PROJECT_SOURCE_DIR}/cmake/platforms/web-worker.cmake
    VERBATIM)
add_custom_target(zorbleck_worker ALL DEPENDS ${ZORBLECK_PAGE_DIR}/sw.js)
