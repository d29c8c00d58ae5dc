# Fails when a source file includes from a layer above its own, or when Qt
# headers appear outside platform/qt. Run by CTest under the label "layering".
#
# Inside app/, the window code of app/documents sits below app/shell: it may include from
# app/shell only the main window's data-module role (DataModule.h), the layouts and the
# message tables. The scenario tests under app/*/tests drive the whole program and may
# include any of app/.
#
#   cmake -DROOT=<repository> -P CheckLayering.cmake
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...)

# folder prefix -> include prefixes it may use (its own folder is always allowed)
set(allowed_platform_rtl       "")
set(allowed_platform_classes   "platform/rtl/")
set(allowed_platform_db        "platform/rtl/;platform/classes/")
set(allowed_platform_graphics  "platform/rtl/;platform/classes/")
set(allowed_platform_printers  "platform/rtl/;platform/classes/;platform/graphics/")
set(allowed_platform_gui       "platform/rtl/;platform/classes/;platform/graphics/;platform/printers/;platform/db/")
set(allowed_platform_qt        "platform/")
set(allowed_script             "platform/;script/")
set(allowed_report_model       "platform/;script/")
set(allowed_report_output      "platform/;script/;report/model/")
set(allowed_app_db             "platform/")
set(allowed_app_documents      "platform/;script/;report/;app/db/;app/shell/DataModule\\.h;app/shell/Layouts\\.h;app/shell/ShellMessages\\.h;app/shell/CatalogueMessages\\.h")
set(allowed_app_shell          "platform/;script/;report/;app/")
set(allowed_app_tests          "platform/;script/;report/;app/")

set(layers platform/rtl platform/classes platform/db platform/graphics platform/printers
           platform/gui platform/qt script report/model report/output app/db app/documents app/shell)

set(failures "")
foreach(layer ${layers})
  string(REPLACE "/" "_" key "${layer}")
  file(GLOB_RECURSE sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(src ${sources})
    file(RELATIVE_PATH rel "${ROOT}" "${src}")
    set(allowed "${allowed_${key}};${layer}/")
    if(rel MATCHES "^app/[a-z]+/tests/")
      set(allowed "${allowed_app_tests}")
    endif()
    file(STRINGS "${src}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*$" "\\1" inc "${line}")
      if(inc MATCHES "^Q[A-Za-z]" OR inc MATCHES "^Qt[A-Za-z]*/")
        if(NOT layer STREQUAL "platform/qt")
          list(APPEND failures "${rel}: Qt header <${inc}> outside platform/qt")
        endif()
        continue()
      endif()
      if(NOT inc MATCHES "^(platform|script|report|app)/")
        continue()   # standard library, third-party, or a path relative to the file
      endif()
      set(ok FALSE)
      foreach(prefix ${allowed})
        if(prefix AND inc MATCHES "^${prefix}")
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        list(APPEND failures "${rel}: includes \"${inc}\" from a layer above or beside it")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Layering broken:\n  ${text}")
endif()
message(STATUS "Layering holds")
