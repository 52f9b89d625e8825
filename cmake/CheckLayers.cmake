# The layers of the program, checked on every include of src/.
#
#   cmake -DSOURCE_DIR=<repo>/src -DWIDGET_INCLUDE_DIRS="<dir>|<dir>" -P CheckLayers.cmake
#
# A subsystem may include itself and the subsystems of lower layers, never a higher
# layer nor another subsystem of its own layer. A file outside a ui/ folder belongs to
# the core library: it includes no ui/ header of any subsystem and no header of Qt's
# widget modules (those found in WIDGET_INCLUDE_DIRS). A ui/ file follows the same
# layer rule for what it includes, core or ui. Every violation is printed as
# "<file>:<line>: <subsystem> includes <what>" and the script fails.
#
# Every XML document is parsed through parseXmlDocument (foundation/XmlUtility.cpp),
# which checks size and nesting first: a call of setContent on a QDomDocument anywhere
# else is printed as "<file>:<line>: <subsystem> parses XML with setContent" too.
#
# With -DSELF_TEST=ON it writes a small tree with one upward include, one core file
# that includes widgets, one that parses XML by itself and one that is clean, checks
# it, and fails unless exactly the three faults are found (so the check itself cannot
# silently pass everything).

# The one table: layer number of every subsystem. Lower layers know nothing above.
# The platform library (framework replacements, no knowledge of books) sits between
# foundation and the models, so every model and editor may use it.
set(QV_LAYER_foundation 1)
set(QV_LAYER_platform 1.5)
set(QV_LAYER_batch 2)
set(QV_LAYER_annotations 2)
set(QV_LAYER_furnishings 2)
set(QV_LAYER_online 2)
set(QV_LAYER_pages 3)
set(QV_LAYER_templates 3)
set(QV_LAYER_output 4)
set(QV_LAYER_project 5)
set(QV_LAYER_publishing 6)
set(QV_LAYER_shell 7)

# Checks every source file below root (a src/ folder); appends the violations to the
# variable named by out.
function(qv_check_layers root widget_dirs out)
  set(found "")
  file(GLOB_RECURSE files RELATIVE ${root} ${root}/*.cpp ${root}/*.h)
  foreach(rel IN LISTS files)
    string(REGEX MATCH "^[^/]+" sub "${rel}")
    if(NOT DEFINED QV_LAYER_${sub})
      if(rel MATCHES "/")
        list(APPEND found "${rel}:0: ${sub} is not in the layer table")
      endif()
      continue()
    endif()
    set(mine ${QV_LAYER_${sub}})
    set(is_ui FALSE)
    if(rel MATCHES "/ui/")
      set(is_ui TRUE)
    endif()
    # Every line, empty ones included, so that the line numbers printed are right
    # (brackets would join list items, so they stand in as "<" and ">").
    file(READ ${root}/${rel} text)
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "[" "<" text "${text}")
    string(REPLACE "]" ">" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(n 0)
    set(documents "")
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      if(NOT rel STREQUAL "foundation/XmlUtility.cpp" AND line MATCHES "setContent")
        string(REGEX MATCHALL "QDomDocument[ \t&*]+[A-Za-z_][A-Za-z0-9_]*" declared "${line}")
        foreach(d IN LISTS declared)
          string(REGEX REPLACE "^QDomDocument[ \t&*]+" "" d "${d}")
          list(APPEND documents ${d})
        endforeach()
        set(parses FALSE)
        if(line MATCHES "QDomDocument[ \t]*[({][^)}]*[)}][ \t]*\\.[ \t]*setContent[ \t]*\\(")
          set(parses TRUE)
        endif()
        foreach(d IN LISTS documents)
          if(line MATCHES "(^|[^A-Za-z0-9_])${d}[ \t]*(\\.|->)[ \t]*setContent[ \t]*\\(")
            set(parses TRUE)
          endif()
        endforeach()
        if(parses)
          list(APPEND found "${rel}:${n}: ${sub} parses XML with setContent (use parseXmlDocument)")
        endif()
      elseif(line MATCHES "QDomDocument[ \t&*]+[A-Za-z_]")
        string(REGEX MATCHALL "QDomDocument[ \t&*]+[A-Za-z_][A-Za-z0-9_]*" declared "${line}")
        foreach(d IN LISTS declared)
          string(REGEX REPLACE "^QDomDocument[ \t&*]+" "" d "${d}")
          list(APPEND documents ${d})
        endforeach()
      endif()
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([a-z]+)/([^\"]*)\"")
        set(other ${CMAKE_MATCH_1})
        set(path ${CMAKE_MATCH_2})
        if(NOT DEFINED QV_LAYER_${other})
          continue()
        endif()
        if(NOT other STREQUAL sub AND NOT QV_LAYER_${other} LESS mine)
          list(APPEND found "${rel}:${n}: ${sub} includes ${other}/${path} (layer ${QV_LAYER_${other}} is not below ${mine})")
        elseif(NOT is_ui AND (path MATCHES "^ui/" OR path MATCHES "/ui/"))
          list(APPEND found "${rel}:${n}: ${sub} core includes the widget header ${other}/${path}")
        endif()
      elseif(NOT is_ui AND line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(Q[A-Za-z0-9_/]+)>")
        set(header ${CMAKE_MATCH_1})
        if(header MATCHES "^Qt(Widgets|UiTools|WebEngineWidgets|MultimediaWidgets|OpenGLWidgets)(/|$)")
          list(APPEND found "${rel}:${n}: ${sub} core includes the widget header <${header}>")
          continue()
        endif()
        foreach(dir IN LISTS widget_dirs)
          if(EXISTS "${dir}/${header}" AND NOT IS_DIRECTORY "${dir}/${header}")
            list(APPEND found "${rel}:${n}: ${sub} core includes the widget header <${header}>")
            break()
          endif()
        endforeach()
      endif()
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

if(SELF_TEST)
  # In the system's temporary folder: never inside a checkout, wherever it is run from.
  set(tmp "$ENV{TMPDIR}")
  if(NOT tmp)
    set(tmp /tmp)
  endif()
  string(RANDOM LENGTH 8 suffix)
  set(tree ${tmp}/quorvel-layer-check-${suffix}/src)
  file(REMOVE_RECURSE ${tree})
  file(WRITE ${tree}/pages/Upward.cpp "#include \"pages/Upward.h\"\n#include \"shell/BookSession.h\"\n")
  file(WRITE ${tree}/output/Widgets.cpp "#include \"output/Widgets.h\"\n#include <QWidget>\n")
  file(WRITE ${tree}/shell/ui/Fine.cpp "#include \"shell/ui/Fine.h\"\n#include \"publishing/ui/PublishCommand.h\"\n#include <QWidget>\n")
  file(WRITE ${tree}/publishing/Fine.cpp "#include \"output/OutputOperation.h\"\n#include \"foundation/AppStrings.h\"\n#include <QString>\n")
  file(WRITE ${tree}/furnishings/Reader.cpp "#include <QDomDocument>\nbool read(const QString &text)\n{\n    QDomDocument document;\n    return document.setContent(text);\n}\n")
  file(WRITE ${tree}/furnishings/Model.cpp "#include <QDomDocument>\nvoid fill(Item &item, const QDomDocument &document)\n{\n    item.setContent(document.toString());\n}\n")
  file(WRITE ${tree}/widgets/QWidget "")
  qv_check_layers(${tree} "${tree}/widgets" faults)
  list(LENGTH faults count)
  foreach(f IN LISTS faults)
    message("${f}")
  endforeach()
  file(REMOVE_RECURSE ${tmp}/quorvel-layer-check-${suffix})
  if(NOT count EQUAL 3 OR NOT faults MATCHES "pages/Upward.cpp:2: pages includes shell/BookSession.h"
     OR NOT faults MATCHES "output/Widgets.cpp:2: output core includes the widget header <QWidget>"
     OR NOT faults MATCHES "furnishings/Reader.cpp:5: furnishings parses XML with setContent")
    message(FATAL_ERROR "The layer check did not find exactly the three planted faults.")
  endif()
  message("The layer check finds an upward include, widgets in a core file and XML parsed without the checks.")
  return()
endif()

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "Give -DSOURCE_DIR=<repo>/src")
endif()
string(REPLACE "|" ";" widget_dirs "${WIDGET_INCLUDE_DIRS}")
qv_check_layers(${SOURCE_DIR} "${widget_dirs}" faults)
foreach(f IN LISTS faults)
  message("${f}")
endforeach()
list(LENGTH faults count)
if(count GREATER 0)
  message(FATAL_ERROR "${count} include(s) or XML reader(s) break the rules of cmake/CheckLayers.cmake.")
endif()
message("Every include of ${SOURCE_DIR} keeps to the layers.")
