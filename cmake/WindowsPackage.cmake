# The Windows application as it is handed to a user: the executable and the licence, zipped
# under a name that carries the version.
if (NOT WIN32)
    return()
endif()

set (DRAVEL_PACKAGE_NAME "Dravel-Tuner-${PROJECT_VERSION}-win64")
set (DRAVEL_PACKAGE_DIR "${CMAKE_BINARY_DIR}/${DRAVEL_PACKAGE_NAME}")

add_custom_command (OUTPUT "${CMAKE_BINARY_DIR}/${DRAVEL_PACKAGE_NAME}.zip"
    COMMAND ${CMAKE_COMMAND} -E rm -rf "${DRAVEL_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${DRAVEL_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E copy "$<TARGET_FILE:DravelTuner_Standalone>" "${PROJECT_SOURCE_DIR}/LICENSE"
            "${DRAVEL_PACKAGE_DIR}"
    COMMAND ${CMAKE_COMMAND} -E tar cf "${DRAVEL_PACKAGE_NAME}.zip" --format=zip "${DRAVEL_PACKAGE_NAME}"
    DEPENDS DravelTuner_Standalone "${PROJECT_SOURCE_DIR}/LICENSE"
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
    VERBATIM)

add_custom_target (DravelTunerPackage ALL DEPENDS "${CMAKE_BINARY_DIR}/${DRAVEL_PACKAGE_NAME}.zip")

# What a user receives holds as it should: a self-contained GUI executable, zipped with the
# LICENSE. The check runs on the build machine: named as the imported target, the interpreter
# would be started through the cross build's emulator, under Wine.
if (BUILD_TESTING)
    find_package (Python3 REQUIRED COMPONENTS Interpreter)
    add_test (NAME WindowsPackage.IsOneSelfContainedGuiExecutableZippedWithTheLicense
              COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/app/windows_package_test.py
                      --exe $<TARGET_FILE:DravelTuner_Standalone>
                      --zip ${CMAKE_BINARY_DIR}/${DRAVEL_PACKAGE_NAME}.zip
                      --license ${PROJECT_SOURCE_DIR}/LICENSE
                      --version ${PROJECT_VERSION})
    set_tests_properties (WindowsPackage.IsOneSelfContainedGuiExecutableZippedWithTheLicense PROPERTIES
        SKIP_RETURN_CODE 77)
endif()
