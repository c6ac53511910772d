# DRAVEL_WARNINGS_AS_ERRORS: a warning in the project's own sources stops the build. Off by
# default, so that a new compiler's new warning cannot break someone's build; the test
# command turns it on. It is not CMAKE_COMPILE_WARNING_AS_ERROR, which works on whole
# targets: the shared-code and stand-alone targets also compile JUCE's module sources, which
# keep their own warnings. So it goes on our sources alone (cmake/OwnSources.cmake) and on
# the executables that are wholly ours (cmake/SharedCode.cmake).
option (DRAVEL_WARNINGS_AS_ERRORS "Treat warnings in the project's own sources as errors" OFF)

set (DRAVEL_OWN_WARNING_OPTIONS "")
if (DRAVEL_WARNINGS_AS_ERRORS AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set (DRAVEL_OWN_WARNING_OPTIONS -Werror)
endif()
