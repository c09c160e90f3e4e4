# Fails when a file of a library folder includes a header of a folder its
# library may not call. Run by the build (cmake -P) with:
#   RULES       a file setting FOLDERS and, for each, ALLOWED_<folder>: the
#               folders below it (what its library links, directly or not)
#   SOURCE_DIR  the source tree
#   STAMP       touched when every include is allowed
# Header-only includes are what the link check cannot see: this sees them.
include(${RULES})
set(wrong "")
foreach(folder ${FOLDERS})
  file(GLOB files ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" to "${line}")
      list(FIND FOLDERS "${to}" known)
      list(FIND ALLOWED_${folder} "${to}" allowed)
      if(NOT to STREQUAL folder AND NOT known EQUAL -1 AND allowed EQUAL -1)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        string(STRIP "${line}" line)
        string(APPEND wrong "  ${shown}: ${line} (${folder}/ may use: ${ALLOWED_${folder}})\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(wrong)
  message(FATAL_ERROR "Includes against the library graph:\n${wrong}")
endif()
file(TOUCH ${STAMP})
