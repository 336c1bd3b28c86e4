# One function per target kind keeps every target built the same way.

set(LK_WARNINGS -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual)

# lk_library(<name> SOURCES ... DEPENDS ...): a subsystem library lk_<name>. The subsystem
# libraries it builds on are private to it; the Qt and other libraries are public, since the
# headers speak in their types (QString, QWidget).
function(lk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(lk_${name} STATIC ${ARG_SOURCES})
  target_include_directories(lk_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(lk_${name} PRIVATE ${LK_WARNINGS})
  foreach(dep IN LISTS ARG_DEPENDS)
    if(dep MATCHES "^lk_")
      target_link_libraries(lk_${name} PRIVATE ${dep})
    else()
      target_link_libraries(lk_${name} PUBLIC ${dep})
    endif()
  endforeach()
endfunction()

# lk_test(<subsystem> SOURCES ... DEPENDS ...): one GoogleTest executable per subsystem,
# run by ctest on the offscreen platform with a fixed time zone and locale. COMMA_LOCALE runs
# it a second time under a locale that writes decimals with a comma (scripts/setup.sh
# generates it), where numbers must be read exactly as in the first run.
function(lk_test subsystem)
  cmake_parse_arguments(ARG "COMMA_LOCALE" "" "SOURCES;DEPENDS" ${ARGN})
  set(target test_${subsystem})
  add_executable(${target} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${target} PRIVATE ${LK_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} lk_testsupport GTest::gtest)
  add_test(NAME ${subsystem} COMMAND ${target})
  set_tests_properties(${subsystem} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=Asia/Shanghai;LANG=C.UTF-8;LC_ALL=C.UTF-8")
  if(ARG_COMMA_LOCALE)
    add_test(NAME ${subsystem}_comma_locale COMMAND ${target})
    set_tests_properties(${subsystem}_comma_locale PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;TZ=Asia/Shanghai;LANG=de_DE.UTF-8;LC_ALL=de_DE.UTF-8;LK_COMMA_LOCALE=1")
  endif()
endfunction()

# lk_bench(<name> SOURCES ... DEPENDS ...): a benchmark program, never run by ctest.
function(lk_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_compile_options(bench_${name} PRIVATE ${LK_WARNINGS})
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPENDS})
endfunction()
