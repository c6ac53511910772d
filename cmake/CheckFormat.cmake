# Run by ctest (cmake -D CLANG_FORMAT=... -D SOURCE_DIR=... -P CheckFormat.cmake): fails when
# clang-format 14, with the repository's .clang-format files, would change any of the
# project's own C++ sources. The sources are looked for when the test runs, so a new file is
# checked without configuring again: every *.cpp, *.h and *.hpp in the repository, but for
# hidden folders and build trees (a build* folder, or any folder that holds a CMakeCache.txt).
cmake_minimum_required (VERSION 3.22)

if (NOT CLANG_FORMAT)
    message (FATAL_ERROR "clang-format-14 was not found when the build was configured: install "
                         "the package clang-format-14 (scripts/setup.sh does) and configure again.")
endif()

set (patterns *.cpp *.h *.hpp)
file (GLOB sources RELATIVE "${SOURCE_DIR}" ${patterns})

file (GLOB topLevel RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach (entry IN LISTS topLevel)
    if (IS_DIRECTORY "${SOURCE_DIR}/${entry}"
        AND NOT entry MATCHES "^(\\.|build)"
        AND NOT EXISTS "${SOURCE_DIR}/${entry}/CMakeCache.txt")
        list (TRANSFORM patterns PREPEND "${SOURCE_DIR}/${entry}/" OUTPUT_VARIABLE folderPatterns)
        file (GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" ${folderPatterns})
        list (APPEND sources ${found})
    endif()
endforeach()

if (NOT sources)
    message (FATAL_ERROR "No C++ sources found under ${SOURCE_DIR}.")
endif()

list (SORT sources)
execute_process (COMMAND "${CLANG_FORMAT}" --style=file --dry-run -Werror ${sources}
                 WORKING_DIRECTORY "${SOURCE_DIR}"
                 RESULT_VARIABLE result
                 OUTPUT_VARIABLE output
                 ERROR_VARIABLE output)

if (NOT result EQUAL 0)
    # clang-format reports each place it would change as "file:line:column: error: ...".
    string (REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: error: code should be clang-formatted" places "${output}")
    list (TRANSFORM places REPLACE ":[0-9]+: error: .*" "")
    list (REMOVE_DUPLICATES places)

    if (NOT places)
        message (FATAL_ERROR "${CLANG_FORMAT} failed (${result}):\n${output}")
    endif()

    list (JOIN places "\n  " report)
    message (FATAL_ERROR
        "C++ sources not formatted as the .clang-format files say, at:\n  ${report}\n"
        "clang-format-14 --dry-run FILE shows each place. Format the sources from the "
        "repository's root, look at the change and commit it:\n"
        "  clang-format-14 -i $(git ls-files '*.cpp' '*.h' '*.hpp')")
endif()
