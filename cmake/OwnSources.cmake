# Adds the project's own sources to the plug-in's shared code. They build warning-free
# under JUCE's recommended flags, and with DRAVEL_WARNINGS_AS_ERRORS a warning in them is an
# error (set on them alone: JUCE's module sources in the same target keep their warnings).
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
        COMPILE_OPTIONS "${DRAVEL_OWN_WARNING_OPTIONS}")
endfunction()
