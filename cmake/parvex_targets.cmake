# How the targets of this project are declared: a static library per source folder, named
# after it, that sees every other library's headers as "<folder>/<file>.h".

# parvex_library(<name> [QT] SOURCES <files>... [PUBLIC <libs>...] [PRIVATE <libs>...])
# QT marks a library built on Qt Widgets: it gets moc and rcc; the others link no Qt at all.
function(parvex_library name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "QT" "" "SOURCES;PUBLIC;PRIVATE")
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
  endif()
endfunction()

# parvex_test(<name> [QT] [WIDGET] [DISCOVER] SOURCES <files>... LIBRARIES <libs>...
#             [LABELS <labels>...])
# A test program registered with CTest. DISCOVER registers every test case of it on its own;
# otherwise the program is one CTest entry. QT gets moc; WIDGET also runs it on Qt's offscreen
# platform, so that a bare ctest needs no display. LABELS are CTest labels of every entry; a
# program labelled "threads" also joins the target parvex_threads_tests, which builds exactly
# what "ctest -L threads" runs.
function(parvex_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "QT;WIDGET;DISCOVER" "" "SOURCES;LIBRARIES;LABELS")
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest
                        "$<LINK_LIBRARY:WHOLE_ARCHIVE,parvex_private_cache>")
  if(ARG_QT OR ARG_WIDGET)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  if(ARG_WIDGET)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  elseif(ARG_DISCOVER)
    if(ARG_LABELS)
      gtest_discover_tests(${name} PROPERTIES LABELS "${ARG_LABELS}")
    else()
      gtest_discover_tests(${name})
    endif()
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(ARG_LABELS AND (ARG_WIDGET OR NOT ARG_DISCOVER))
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  if("threads" IN_LIST ARG_LABELS)
    if(NOT TARGET parvex_threads_tests)
      add_custom_target(parvex_threads_tests)
    endif()
    add_dependencies(parvex_threads_tests ${name})
  endif()
endfunction()
