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

# Runs moc again when a source file was added to target. The Ninja rule of CMake
# 3.25's autogen step only depends on the files it scanned last time, so a new file
# with Q_OBJECT would never get its moc output. A new file re-runs configure (the
# source globs are CONFIGURE_DEPENDS), which drops the step's stamp here; the step
# itself is incremental, so running it again costs little.
function(quorvel_autogen_follows_sources target)
  get_target_property(bindir ${target} BINARY_DIR)
  file(REMOVE ${bindir}/${target}_autogen/timestamp)
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
  quorvel_autogen_follows_sources(${target})
  target_precompile_headers(${target} PRIVATE <QtCore> <QtGui> <QtTest>)
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
