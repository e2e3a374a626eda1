# Every test source becomes its own executable, labelled by its name:
#   *_gui_test.cpp  -> gui  (Qt offscreen, real web engine)
#   *_x11_test.cpp  -> x11  (run under xvfb-run by scripts/test)
#   *_test.cpp      -> unit
# so adding a test never means editing a shared list.
function(ledgrin_add_tests dir)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE ${T_LIBS} ledgrin_test_support GTest::gtest GTest::gmock)
    # Tests read the built databases and images from the build's data folder.
    add_dependencies(${name} ledgrin_data)
    if(name MATCHES "_gui_test$")
      set(label gui)
    elseif(name MATCHES "_x11_test$")
      set(label x11)
    else()
      set(label unit)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    # A test finds its data and programs by paths fixed at build time and sets up Qt itself
    # (tests/support/test_main.cpp), so it runs the same when started by hand. CTest only
    # keeps a platform from the caller's environment out of the offscreen tests.
    set(env "")
    if(NOT label STREQUAL "x11")
      list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    # GoogleTest ends a run with skipped tests with status 0: its mark tells CTest, so a skip
    # never reads as a pass. 77: the test found no display and did not start.
    set_tests_properties(${name} PROPERTIES LABELS ${label} ENVIRONMENT "${env}" TIMEOUT 300 SKIP_RETURN_CODE 77
                                            SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
    # The harness starts every test by hand (tests/harness/harness_test.cpp).
    set_property(GLOBAL APPEND PROPERTY LEDGRIN_TESTS ${name})
  endforeach()
endfunction()
