# Shared build helpers.

# Source files of a subsystem folder and its rooms (sub-folders): everything outside a
# ui/ folder goes into the core library, ui/ into the widget library.
function(quorvel_collect_sources out_core out_ui)
  set(core "")
  set(ui "")
  foreach(sub IN LISTS ARGN)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.h)
    foreach(f IN LISTS files)
      if(f MATCHES "/ui/")
        list(APPEND ui ${f})
      else()
        list(APPEND core ${f})
      endif()
    endforeach()
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
  # One precompiled header for the core test programs and one for those with widgets
  # (each is a few hundred megabytes): the first program of each kind makes it.
  if("quorvel_ui" IN_LIST T_LIBS)
    set(pch_owner QUORVEL_TEST_PCH_UI)
  else()
    set(pch_owner QUORVEL_TEST_PCH_CORE)
  endif()
  get_property(owner GLOBAL PROPERTY ${pch_owner})
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    target_precompile_headers(${target} PRIVATE <QtCore> <QtGui> <QtTest>)
    set_property(GLOBAL PROPERTY ${pch_owner} ${target})
  endif()
  quorvel_refresh_autogen(${target})
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

# Sources are globbed, and the Ninja generator's automoc step keeps its own timestamp,
# so a header added to an existing build would not get its moc file. Forget that
# timestamp whenever the target's file list changes.
function(quorvel_refresh_autogen target)
  get_target_property(srcs ${target} SOURCES)
  string(MD5 digest "${srcs}")
  if(NOT "${digest}" STREQUAL "${QUORVEL_AUTOGEN_DIGEST_${target}}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    set(QUORVEL_AUTOGEN_DIGEST_${target} "${digest}" CACHE INTERNAL "")
  endif()
endfunction()
