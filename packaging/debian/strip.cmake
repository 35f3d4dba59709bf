# Run by CPack on the staged files before it packs them: strips the programs as Debian's
# dh_strip does.
find_program(TCC_STRIP strip REQUIRED)
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(stripped 0)
foreach(file ${staged})
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    math(EXPR stripped "${stripped} + 1")
    execute_process(
      COMMAND ${TCC_STRIP} --remove-section=.comment --remove-section=.note "${file}"
      RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "strip failed on ${file}")
    endif()
  endif()
endforeach()
if(stripped EQUAL 0)
  message(FATAL_ERROR "no program to strip in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
