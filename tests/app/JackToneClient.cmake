# The JACK tone client runs on the build machine beside the app, whichever system the app is
# built for: the Linux build and the cross build's host tools both define it from here.
find_package (PkgConfig REQUIRED)
pkg_check_modules (JACK REQUIRED IMPORTED_TARGET jack)

add_executable (DravelTunerJackToneClient ${CMAKE_CURRENT_LIST_DIR}/JackToneClient.cpp)
target_link_libraries (DravelTunerJackToneClient PRIVATE PkgConfig::JACK)
