# Makes an empty home, configuration, data and desktop folder under ROOT for one test program,
# so the tests never read or write the real ones: cmake -DROOT=<folder> -P fresh_home.cmake
file(REMOVE_RECURSE "${ROOT}")
file(MAKE_DIRECTORY "${ROOT}/home/Scrivania" "${ROOT}/config" "${ROOT}/data")
file(WRITE "${ROOT}/config/user-dirs.dirs" "XDG_DESKTOP_DIR=\"${ROOT}/home/Scrivania\"\n")
