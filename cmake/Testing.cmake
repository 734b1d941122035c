include(GoogleTest)

# Every test runs headless with a time-out, so a stray modal box fails fast, and keeps to folders
# of the build tree.
set(VEMLO_TEST_RUNTIME_DIR "${PROJECT_BINARY_DIR}/test-home/runtime")
file(MAKE_DIRECTORY "${VEMLO_TEST_RUNTIME_DIR}")
file(CHMOD "${VEMLO_TEST_RUNTIME_DIR}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(VEMLO_TEST_ENV
    "XDG_RUNTIME_DIR=${VEMLO_TEST_RUNTIME_DIR}"
    "QT_QPA_PLATFORM=offscreen"
    "HOME=${PROJECT_BINARY_DIR}/test-home"
    "XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-home/.config"
    "VEMLO_MACHINE_HIVE=${PROJECT_BINARY_DIR}/test-home/machine/machine.hive"
    "VEMLO_USER_HIVE=${PROJECT_BINARY_DIR}/test-home/user/user.hive"
    "VEMLO_APPDATA=${PROJECT_BINARY_DIR}/test-home/appdata"
    "VEMLO_COMMON_FILES=${PROJECT_BINARY_DIR}/test-home/common"
    "DBUS_SESSION_BUS_ADDRESS=disabled:"
    "DBUS_SYSTEM_BUS_ADDRESS=disabled:")

# Under Wine every test needs the prefix's test service (tests/platform/windows); discovery runs
# each executable through Wine, whose start can take seconds.
if(CMAKE_CROSSCOMPILING)
    set(VEMLO_TEST_REQUIRES FIXTURES_REQUIRED wine_prefix)
    set(VEMLO_DISCOVERY_TIMEOUT 60)
else()
    set(VEMLO_DISCOVERY_TIMEOUT 5)
endif()

# The test executable with its sources and libraries; ARG_TIMEOUT defaults to a minute.
macro(vemlo_test_executable name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 60)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE project_options ${ARG_LIBS})
endmacro()

# vemlo_add_gtest(name SOURCES ... LIBS ... [PROPERTIES ...]): a GoogleTest executable, each case
# its own CTest test with the further test properties given.
function(vemlo_add_gtest name)
    vemlo_test_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT ${VEMLO_DISCOVERY_TIMEOUT}
        PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    # Discovery hands its properties on as one flat list, so a list among them (the environment)
    # would be torn apart and everything after it lost. The cases get the rest from a file of
    # their own, read after discovery has listed them.
    set(arguments " ENVIRONMENT [==[${VEMLO_TEST_ENV}]==]")
    foreach(property IN LISTS VEMLO_TEST_REQUIRES ARG_PROPERTIES)
        string(APPEND arguments " [==[${property}]==]")
    endforeach()
    set(properties_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
    file(WRITE "${properties_file}"
        "if(${name}_TESTS)\n"
        "    set_tests_properties(\${${name}_TESTS} PROPERTIES${arguments})\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${properties_file}")
endfunction()

# vemlo_add_qtest(name SOURCES ... LIBS ...): a Qt Test executable run as one CTest test.
function(vemlo_add_qtest name)
    vemlo_test_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${VEMLO_TEST_ENV}")
endfunction()
