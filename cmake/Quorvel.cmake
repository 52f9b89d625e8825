# Shared build helpers.

# Source files of a subsystem folder: everything outside ui/ goes into the core
# library, ui/ into the widget library.
function(quorvel_collect_sources out_core out_ui)
  set(core "")
  set(ui "")
  foreach(sub IN LISTS ARGN)
    file(GLOB c CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.h)
    file(GLOB u CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/ui/*.h)
    list(APPEND core ${c})
    list(APPEND ui ${u})
  endforeach()
  set(${out_core} ${core} PARENT_SCOPE)
  set(${out_ui} ${ui} PARENT_SCOPE)
endfunction()

# One test program per folder of tests/. Every source file in the folder is a test
# class registered with QV_TEST(Class); each class becomes its own ctest entry.
#   quorvel_add_test_folder(NAME <name> DIR <dir> LIBS <libs...> [WEBENGINE])
function(quorvel_add_test_folder)
  cmake_parse_arguments(T "WEBENGINE" "NAME;DIR" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${T_DIR}/*.cpp ${T_DIR}/*.h)
  if(NOT srcs)
    return()
  endif()
  set(target tst_${T_NAME})
  add_executable(${target} ${srcs} ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(${target} PRIVATE ${T_LIBS} quorvel_testsupport Qt6::Test)
  target_precompile_headers(${target} PRIVATE <QtCore> <QtGui> <QtTest>)
  quorvel_autogen_tracks_sources(${target})
  set(platform offscreen)
  if(T_WEBENGINE)
    set(platform xcb)
  endif()
  foreach(src IN LISTS srcs)
    file(STRINGS ${src} lines REGEX "^QV_TEST\\([A-Za-z0-9_]+\\)")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^QV_TEST\\(([A-Za-z0-9_]+)\\).*" "\\1" cls "${line}")
      add_test(NAME ${T_NAME}.${cls} COMMAND ${target} ${cls})
      set_tests_properties(${T_NAME}.${cls} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=${platform};QTWEBENGINE_DISABLE_SANDBOX=1;QUORVEL_RESOURCES=${QUORVEL_RESOURCE_DIR};QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox"
        LABELS "${T_NAME}"
        TIMEOUT 600)
      if(T_WEBENGINE)
        set_property(TEST ${T_NAME}.${cls} APPEND PROPERTY LABELS webengine)
        set_property(TEST ${T_NAME}.${cls} PROPERTY RESOURCE_LOCK webengine)
      endif()
    endforeach()
  endforeach()
endfunction()

# Reruns moc's scan of a target when its list of source files changes: without this,
# a new file that includes its own "<name>.moc" is not scanned until a clean build.
# The list is written as a header, which the scan (and so its dependency file) covers.
function(quorvel_autogen_tracks_sources target)
  get_target_property(srcs ${target} SOURCES)
  list(TRANSFORM srcs PREPEND "// ")
  list(JOIN srcs "\n" content)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.h)
  file(CONFIGURE OUTPUT ${list_file} CONTENT "${content}\n")
  target_sources(${target} PRIVATE ${list_file})
endfunction()
