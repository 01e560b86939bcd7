# The Windows tests, run under Wine (the preset's emulator): the Win32 platform's own cases, the
# stand-ins that Shell and regsvr32 start, the real window, and the real TovrenKur.exe driven
# from outside. The window tests need an X display (Xvfb).
target_sources(platform_tests PRIVATE
  platform/app_path_win_test.cpp
  platform/automation_win_test.cpp
  platform/contract_support_win.cpp
  platform/dir_win_test.cpp
  platform/process_win_test.cpp
  platform/wsh_win_test.cpp
  registration/register_components_win_test.cpp
)
target_sources(zip_tests PRIVATE platform/zip_test_support_win.cpp)
# The tests' own COM and shell calls (the program loads these libraries at run time).
target_link_libraries(platform_tests PRIVATE ole32 shell32)
target_link_libraries(zip_tests PRIVATE ole32)

# Copied to chosen folders and run there by the App.Path tests; built beside platform_tests.
add_executable(app_path_probe platform/app_path_probe.cpp)
target_link_libraries(app_path_probe PRIVATE platform core)
# Stand-ins that Shell starts: a program and a component recording the command line they got.
add_executable(tk_recorder platform/recorder_win.cpp)
target_include_directories(tk_recorder PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_options(tk_recorder PRIVATE -municode)
# The component in two versions: the newer stands for another product's update of it.
foreach(probe tk_register_probe tk_register_probe_newer)
  add_library(${probe} SHARED platform/register_probe_win.cpp platform/register_probe_win.rc)
  target_include_directories(${probe} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  # regsvr32 looks the entry points up by their plain names; static, so it loads from anywhere.
  target_link_options(${probe} PRIVATE -static -Wl,--kill-at)
  set_target_properties(${probe} PROPERTIES PREFIX "")
endforeach()
target_compile_definitions(tk_register_probe PRIVATE TK_PROBE_VERSION=6,0,0,0)
target_compile_definitions(tk_register_probe_newer PRIVATE TK_PROBE_VERSION=6,1,0,0)
# The browser-automation component's test double: an in-process COM server.
add_library(automation_double SHARED e2e/automation_double_win.cpp e2e/automation_double_win.def)
set_target_properties(automation_double PROPERTIES PREFIX "")
target_include_directories(automation_double PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(automation_double PRIVATE ole32 oleaut32 uuid)
# The .def names the undecorated stdcall exports that COM looks up.
target_link_options(automation_double PRIVATE -static -Wl,--enable-stdcall-fixup)
add_dependencies(platform_tests app_path_probe tk_recorder tk_register_probe
                 tk_register_probe_newer automation_double)

# The registry read, outside the platform label: it runs once, not again under the Turkish locale.
add_executable(win_platform_tests platform/registry_win_test.cpp)
target_include_directories(win_platform_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(win_platform_tests PRIVATE platform core ${TK_GTEST})
gtest_discover_tests(win_platform_tests ${TK_DISCOVERY})

# WinINet trusts what the prefix's root store holds: a helper puts the test CA there.
add_executable(trust_test_ca support/trust_test_ca_win.cpp)
target_include_directories(trust_test_ca PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(trust_test_ca PRIVATE -municode)
target_link_options(trust_test_ca PRIVATE -municode)
target_link_libraries(trust_test_ca PRIVATE crypt32)
add_test(NAME http_contract
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/support/http_servers.py run
          --ca-der ${CMAKE_CURRENT_BINARY_DIR}/test-ca.der
          --trust-command "${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:trust_test_ca>"
          -- ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:http_tests>)

# The real window in-process, the test-only inspector that drives TovrenKur.exe from outside,
# and the checks of the built exe.
add_executable(window_tests fake_platform.cpp platform/window_win_test.cpp)
target_include_directories(window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(window_tests PRIVATE platform core ${TK_GTEST})
gtest_discover_tests(window_tests ${TK_DISCOVERY} PROPERTIES LABELS gui)

add_executable(inspector e2e/inspector_win.cpp)
target_link_libraries(inspector PRIVATE platform ole32)
target_link_options(inspector PRIVATE -municode)

add_test(NAME exe_identity_and_imports
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/check_exe_win.py
          $<TARGET_FILE:TovrenKur> ${CMAKE_OBJDUMP} ${CMAKE_SYSTEM_PROCESSOR})
add_test(NAME e2e_window
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_win.py
          --exe $<TARGET_FILE:TovrenKur> --inspector $<TARGET_FILE:inspector>
          --out ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_window PROPERTIES LABELS gui TIMEOUT 600)
# Whole installations as a user makes them, one fresh prefix per scenario, with the stand-ins,
# the automation double and the CA helper built beside the inspector.
add_test(NAME acceptance
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/acceptance_win.py
          --exe $<TARGET_FILE:TovrenKur> --tests $<TARGET_FILE_DIR:inspector>
          --out ${CMAKE_BINARY_DIR} --host ${TOVRENKUR_DRIVER_HOST})
set_tests_properties(acceptance PROPERTIES LABELS gui TIMEOUT 900)
