# Adds the project's own sources to the plug-in's shared code. They build warning-free
# under JUCE's recommended flags (-Werror on them alone: JUCE's module sources compiled
# into the same target keep their own warnings).
function (dravel_tuner_add_sources)
    set (sources)
    foreach (source IN LISTS ARGN)
        list (APPEND sources "${CMAKE_CURRENT_SOURCE_DIR}/${source}")
    endforeach()

    if (NOT sources)
        return()
    endif()

    target_sources (DravelTuner PRIVATE ${sources})
    set_source_files_properties (${sources} TARGET_DIRECTORY DravelTuner PROPERTIES
        COMPILE_OPTIONS "$<$<CXX_COMPILER_ID:GNU,Clang>:-Werror>")
endfunction()
