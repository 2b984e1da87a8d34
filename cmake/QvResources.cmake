# qv_add_resources(<target> <NAME> <file> [<NAME> <file> ...])
# Compiles each file into <target> as a named resource that FindQvResource() finds.
# The bytes are pulled in with .incbin, so large pictures cost no generated C++.
# A resource whose NAME is an identifier also gets the global entry symbol qvres_entry_NAME:
# a unit of a static library refers to it so that the linker keeps the resource.
function(qv_add_resources target)
  set(args ${ARGN})
  list(LENGTH args n)
  math(EXPR odd "${n} % 2")
  if(n EQUAL 0 OR odd)
    message(FATAL_ERROR "qv_add_resources: expected NAME file pairs")
  endif()
  get_property(counter GLOBAL PROPERTY QV_RESOURCE_COUNTER)
  if(NOT counter)
    set(counter 0)
  endif()
  math(EXPR counter "${counter} + 1")
  set_property(GLOBAL PROPERTY QV_RESOURCE_COUNTER ${counter})
  set(asm "${CMAKE_CURRENT_BINARY_DIR}/qv_resources_${target}_${counter}.S")
  set(body "")
  set(deps "")
  set(i 0)
  while(args)
    list(POP_FRONT args name file)
    get_filename_component(file "${file}" ABSOLUTE)
    list(APPEND deps "${file}")
    set(sym "qvres_${counter}_${i}")
    string(APPEND body
      "  .section .rodata.${sym},\"a\"\n"
      "  .balign 16\n"
      "${sym}_data:\n"
      "  .incbin \"${file}\"\n"
      "${sym}_end:\n"
      "  .byte 0\n"
      "${sym}_name:\n"
      "  .asciz \"${name}\"\n"
      "  .section qv_resources,\"aw\"\n"
      "  .balign 8\n")
    if(name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      string(APPEND body "  .globl qvres_entry_${name}\nqvres_entry_${name}:\n")
    endif()
    string(APPEND body
      "  .quad ${sym}_name, ${sym}_data, ${sym}_end - ${sym}_data\n")
    math(EXPR i "${i} + 1")
  endwhile()
  string(APPEND body "  .section .note.GNU-stack,\"\",@progbits\n")
  file(GENERATE OUTPUT "${asm}" CONTENT "${body}")
  set_source_files_properties("${asm}" PROPERTIES LANGUAGE ASM OBJECT_DEPENDS "${deps}")
  target_sources(${target} PRIVATE "${asm}")
endfunction()

# qv_add_form(<target> <file>)
# Compiles a stored layout (a text form file) under its base name ("frmLogin.qvf" is
# "frmLogin") into every program that links <target>, for ReadFormResource(). The layouts
# of a library go into an object library of their own whose objects every consumer links,
# so no layout is lost to the archive's unreferenced members.
function(qv_add_form target file)
  get_filename_component(name "${file}" NAME_WE)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE")
    qv_add_resources(${target} "${name}" "${file}")
    return()
  endif()
  set(forms "${target}_forms")
  if(NOT TARGET ${forms})
    add_library(${forms} OBJECT)
    target_link_libraries(${target} INTERFACE "$<TARGET_OBJECTS:${forms}>")
    add_dependencies(${target} ${forms})
  endif()
  qv_add_resources(${forms} "${name}" "${file}")
endfunction()
