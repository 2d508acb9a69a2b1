# One place for the compile policy: every target of the project links plx24_policy.
add_library(plx24_policy INTERFACE)
target_compile_options(plx24_policy INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor)
if(PLX24_WERROR)
  target_compile_options(plx24_policy INTERFACE -Werror)
endif()
target_compile_definitions(plx24_policy INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT)
# Release builds carry the distribution's hardening: checked string and memory functions, and a
# relocation table that is read-only once the program runs. The sanitizer and fuzz builds have checks
# of their own that the checked functions would hide.
if(NOT PLX24_SANITIZE AND NOT PLX24_FUZZ)
  set(plx24_release "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  target_compile_options(plx24_policy INTERFACE "$<${plx24_release}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  target_link_options(plx24_policy INTERFACE "$<${plx24_release}:LINKER:-z,relro,-z,now>")
endif()
if(PLX24_SANITIZE)
  target_compile_options(plx24_policy INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(plx24_policy INTERFACE -fsanitize=address,undefined)
endif()
if(PLX24_FUZZ)
  # coverage for libFuzzer in every library a target links; the sanitizers are the first oracle
  target_compile_options(plx24_policy INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(plx24_policy INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(plx24_policy INTERFACE ${PROJECT_SOURCE_DIR}/src)

# plx24_add_test(name SOURCES... LIBS...): one GoogleTest binary, discovered into CTest.
function(plx24_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE plx24_policy ${T_LIBS} GTest::gtest GTest::gtest_main)
  # a test never reads or writes the developer's own user settings: that path can hold no file
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PLX24_USER_SETTINGS=/dev/null/user.ini")
endfunction()
