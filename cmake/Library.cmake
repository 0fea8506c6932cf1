# libnorvex.so / Norvex.dll: the exports of api/ over every layer, and nothing else exported.
#
# api/ExportList.h is the one list of exports. From it this file writes, at configure time,
# the Linux version script (exactly those names global, everything else local) and the
# Windows .def file (module Norvex.dll, ordinals 1..N in the list's ASCII order).
set(NORVEX_EXPORT_LIST ${CMAKE_SOURCE_DIR}/api/ExportList.h)
set(NORVEX_EXPORT_COUNT 242)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${NORVEX_EXPORT_LIST})

file(STRINGS ${NORVEX_EXPORT_LIST} norvex_rows REGEX "^NORVEX_EXPORT\\(")
set(norvex_names)
set(norvex_def_lines)
set(norvex_ordinal 0)
foreach(row ${norvex_rows})
  if(NOT row MATCHES "^NORVEX_EXPORT\\([^,]+, *([A-Za-z_][A-Za-z0-9_]*), *([0-9]+),")
    message(FATAL_ERROR "ExportList.h: cannot read the row: ${row}")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(argc ${CMAKE_MATCH_2})
  math(EXPR norvex_ordinal "${norvex_ordinal} + 1")
  list(APPEND norvex_names ${name})
  # 32-bit stdcall symbols carry @<argument bytes>; --kill-at strips it from the exported
  # name, and the link fails if a definition takes another number of arguments.
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    math(EXPR bytes "${argc} * 4")
    string(APPEND norvex_def_lines "    ${name}@${bytes} @${norvex_ordinal}\n")
  else()
    string(APPEND norvex_def_lines "    ${name} @${norvex_ordinal}\n")
  endif()
endforeach()

list(LENGTH norvex_names n)
if(NOT n EQUAL NORVEX_EXPORT_COUNT)
  message(FATAL_ERROR "ExportList.h: ${n} exports, expected ${NORVEX_EXPORT_COUNT}")
endif()
set(sorted ${norvex_names})
list(SORT sorted)
list(REMOVE_DUPLICATES sorted)
if(NOT sorted STREQUAL norvex_names)
  message(FATAL_ERROR "ExportList.h: names must be unique and in ASCII order")
endif()

list(JOIN norvex_names ";\n    " norvex_map_names)
set(NORVEX_VERSION_SCRIPT ${CMAKE_BINARY_DIR}/api/norvex.map)
set(NORVEX_DEF_FILE ${CMAKE_BINARY_DIR}/api/Norvex.def)
# Written through a temporary copy so an unchanged list does not force a relink.
file(WRITE ${CMAKE_BINARY_DIR}/api/norvex.map.tmp "{\n  global:\n    ${norvex_map_names};\n  local: *;\n};\n")
file(WRITE ${CMAKE_BINARY_DIR}/api/Norvex.def.tmp "LIBRARY Norvex.dll\nEXPORTS\n${norvex_def_lines}")
configure_file(${CMAKE_BINARY_DIR}/api/norvex.map.tmp ${NORVEX_VERSION_SCRIPT} COPYONLY)
configure_file(${CMAKE_BINARY_DIR}/api/Norvex.def.tmp ${NORVEX_DEF_FILE} COPYONLY)

file(GLOB NORVEX_API_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/api/*.cpp)
if(NOT NORVEX_API_SOURCES)
  set(NORVEX_API_SOURCES ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
endif()
add_library(norvex SHARED ${NORVEX_API_SOURCES})
target_link_libraries(norvex PRIVATE norvex_adapter)
if(WIN32)
  # Exported by plain name through the .def file only; nothing is marked dllexport.
  set_target_properties(norvex PROPERTIES OUTPUT_NAME Norvex PREFIX "" SUFFIX ".dll")
  target_sources(norvex PRIVATE ${NORVEX_DEF_FILE})
  target_link_options(norvex PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
else()
  target_compile_options(norvex PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
  target_link_options(norvex PRIVATE -Wl,--version-script=${NORVEX_VERSION_SCRIPT})
  set_target_properties(norvex PROPERTIES LINK_DEPENDS ${NORVEX_VERSION_SCRIPT})
  target_link_options(norvex PRIVATE -Wl,--exclude-libs,ALL -Wl,-z,defs)
endif()
