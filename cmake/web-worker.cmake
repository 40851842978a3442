# Writes the page's service worker (WORKER) to OUTPUT, its build named by
# the SHA-256 of the files it serves (FILES), in that order, after the
# version (PROJECT_VERSION).
set(all "")
foreach(file IN LISTS FILES)
    file(SHA256 ${file} hash)
    string(APPEND all "${hash}\n")
endforeach()
string(SHA256 build "${all}")
string(SUBSTRING ${build} 0 16 ZORBLECK_BUILD)
configure_file(${WORKER} ${OUTPUT} @ONLY)
