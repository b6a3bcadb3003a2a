# clang knows no execution character set but UTF-8, so a clang build cannot turn the UTF-8
# literals into CP949 as g++ does (-fexec-charset=CP949). It compiles a copy of the sources
# in CP949 instead, made by iconv under ${KEYVANE_CP949_ROOT} with the same folders; the
# bytes of each literal are then the program's. A character CP949 lacks can only stand in
# a comment (g++ refuses it in a literal) and is transliterated.
set(KEYVANE_CP949_ROOT ${CMAKE_BINARY_DIR}/cp949)
find_program(ICONV iconv REQUIRED)

# Replaces each file of the list variable var (absolute paths under the source tree) by its
# CP949 copy, made again whenever the file changes.
function(keyvane_cp949_copy var)
  set(copies)
  foreach(src ${${var}})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
    set(copy ${KEYVANE_CP949_ROOT}/${rel})
    get_filename_component(dir ${copy} DIRECTORY)
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${ICONV} -f UTF-8 -t CP949//TRANSLIT -o ${copy} ${src}
      DEPENDS ${src} VERBATIM)
    list(APPEND copies ${copy})
  endforeach()
  set(${var} ${copies} PARENT_SCOPE)
endfunction()
