# The substitute's own tests: its platform cases, the FLTK window and message boxes (each test
# process on an Xvfb of its own), the real program under Xvfb, and one whole installation.
target_sources(platform_tests PRIVATE
  platform/automation_posix_test.cpp
  platform/contract_support_posix.cpp
  platform/paths_posix_test.cpp
  platform/process_posix_test.cpp
  platform/registry_posix_test.cpp
  platform/wsh_posix_test.cpp
  registration/register_components_posix_test.cpp
)
target_sources(zip_tests PRIVATE platform/zip_test_support_posix.cpp)

add_executable(window_tests
  fake_platform.cpp
  platform/msgbox_posix_test.cpp
  platform/window_posix_test.cpp
  platform/xvfb_posix.cpp
)
target_include_directories(window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(window_tests PRIVATE platform core ${TK_GTEST})
gtest_discover_tests(window_tests ${TK_DISCOVERY} PROPERTIES TIMEOUT 60)

# The real program under Xvfb; screenshots land in the build folder.
add_test(NAME e2e.LinuxWindow
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/linux_window_e2e.sh $<TARGET_FILE:TovrenKur>
          ${CMAKE_BINARY_DIR}/e2e/linux-window)
set_tests_properties(e2e.LinuxWindow PROPERTIES TIMEOUT 120)

set(TK_CA_ARGS "")
if(TOVRENKUR_EXTRA_CA_FILE)
  # The build's test CA, made once here so that tests running side by side share it.
  get_filename_component(TK_TEST_CERTS ${TOVRENKUR_EXTRA_CA_FILE} DIRECTORY)
  execute_process(COMMAND ${Python3_EXECUTABLE}
                          ${CMAKE_CURRENT_SOURCE_DIR}/support/driver_mirror.py certs
                          --certs ${TK_TEST_CERTS} COMMAND_ERROR_IS_FATAL ANY)
  set(TK_CA_ARGS --certs ${TK_TEST_CERTS} --ca-file ${TOVRENKUR_EXTRA_CA_FILE})

  # Whole installations on the substitute (one in the real window, on an Xvfb of its own), against
  # the driver mirror that the build's loopback host names, trusted through the same test CA.
  add_executable(install_linux_tests e2e/install_linux_test.cpp platform/xvfb_posix.cpp)
  target_include_directories(install_linux_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(install_linux_tests PRIVATE
    TK_TEST_SUPPORT="${CMAKE_CURRENT_SOURCE_DIR}/support" TK_TEST_CERTS="${TK_TEST_CERTS}"
    TOVRENKUR_DRIVER_HOST="${TOVRENKUR_DRIVER_HOST}" TK_SCREENSHOTS="${CMAKE_BINARY_DIR}")
  target_link_libraries(install_linux_tests PRIVATE platform core ${TK_GTEST})
  # Both installations download from the one port that the build names.
  gtest_discover_tests(install_linux_tests ${TK_DISCOVERY}
    PROPERTIES LABELS e2e RESOURCE_LOCK driver-mirror)
endif()
add_test(NAME http_contract
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/support/http_servers.py run
          ${TK_CA_ARGS} -- $<TARGET_FILE:http_tests>)
# The certificates that test and demo builds keep in their folders outlive a month's pause.
add_test(NAME test_certificates
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/support/certificates_test.py)
