# ost_add_test(NAME SOURCES a.cpp ... LIBS lib ... [TIMEOUT s] [LABELS l ...])
# Every test gets a timeout (a forgotten modal box fails fast), the offscreen
# platform and a settings folder of its own.
function(ost_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # Sanitized Debug code runs several times slower; the limit is there for a
  # forgotten modal box, not for speed.
  if(ENABLE_SANITIZERS)
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * 4")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE project_flags Qt6::Test ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE OST_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set(config_dir "${CMAKE_BINARY_DIR}/test-config/${name}")
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${config_dir};LC_ALL=C.UTF-8")
  if(TARGET ostrevanka_charts)
    set_property(TEST ${name} APPEND PROPERTY
      ENVIRONMENT "OSTREVANKA_CHART_MODULE=$<TARGET_FILE:ostrevanka_charts>")
  endif()
endfunction()
