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
    if (NOT IS_DIRECTORY "${SOURCE_DIR}/${entry}"
        OR entry MATCHES "^(\\.|build)"
        OR EXISTS "${SOURCE_DIR}/${entry}/CMakeCache.txt")
        continue()
    endif()

    foreach (pattern IN LISTS patterns)
        file (GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${entry}/${pattern}")
        list (APPEND sources ${found})
    endforeach()
endforeach()

list (SORT sources)

if (NOT sources)
    message (FATAL_ERROR "No C++ sources found under ${SOURCE_DIR}.")
endif()

execute_process (COMMAND "${CLANG_FORMAT}" --style=file --dry-run -Werror ${sources}
                 WORKING_DIRECTORY "${SOURCE_DIR}"
                 RESULT_VARIABLE result
                 OUTPUT_VARIABLE output
                 ERROR_VARIABLE output)

if (result EQUAL 0)
    list (LENGTH sources count)
    message (STATUS "clang-format changes nothing in the ${count} C++ sources.")
    return()
endif()

# clang-format reports every place it would change as "file:line:column: error: ...".
string (REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: error: code should be clang-formatted" places "${output}")

if (NOT places)
    message (FATAL_ERROR "${CLANG_FORMAT} failed (${result}):\n${output}")
endif()

set (badFiles)
foreach (place IN LISTS places)
    string (REGEX REPLACE ":[0-9]+:[0-9]+: error: .*" "" file "${place}")
    string (REGEX REPLACE "^.*:([0-9]+):[0-9]+: error: .*" "\\1" line "${place}")

    if (NOT file IN_LIST badFiles)
        list (APPEND badFiles "${file}")
        set ("first_${file}" "${line}")
        set ("count_${file}" 0)
    endif()

    math (EXPR "count_${file}" "${count_${file}} + 1")
endforeach()

set (report "")
foreach (file IN LISTS badFiles)
    if (count_${file} EQUAL 1)
        string (APPEND report "  ${file}, line ${first_${file}}\n")
    else()
        string (APPEND report "  ${file}, ${count_${file}} places from line ${first_${file}} on\n")
    endif()
endforeach()

message (FATAL_ERROR
    "C++ sources not formatted as the .clang-format files say:\n${report}"
    "clang-format-14 --dry-run FILE shows each place. Format the sources from the "
    "repository's root, look at the change and commit it:\n"
    "  clang-format-14 -i $(git ls-files '*.cpp' '*.h' '*.hpp')")
