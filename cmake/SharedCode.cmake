# Executables beside the plug-in (tests, benchmarks, fuzzers) link its shared code, so
# nothing is compiled twice; they take its include paths and JUCE definitions, which
# juce_add_plugin keeps private. Their sources are all ours, so DRAVEL_WARNINGS_AS_ERRORS
# covers the whole target.
function (dravel_tuner_use_shared_code target)
    target_include_directories (${target} PRIVATE $<TARGET_PROPERTY:DravelTuner,INCLUDE_DIRECTORIES>)
    target_compile_definitions (${target} PRIVATE $<TARGET_PROPERTY:DravelTuner,COMPILE_DEFINITIONS>)
    target_compile_options (${target} PRIVATE ${DRAVEL_OWN_WARNING_OPTIONS})
    target_link_libraries (${target} PRIVATE DravelTuner)
endfunction()
